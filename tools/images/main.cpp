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

#include "groups.h"
#include "world/paint_kit.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: %s PASTA_ASSETS PASTA_FONTES PASTA_SAIDA_IMG\n", argv[0]);
        return 2;
    }
    const std::string assets = argv[1];
    const std::string output = argv[3];
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    std::error_code error;
    fs::create_directories(fs::path(output) / "Jogo", error);
    fs::create_directories(fs::path(output) / "Jogo" / "Teclas", error);
    fs::create_directories(fs::path(output) / "Jogo" / "Controle", error);
    fs::create_directories(fs::path(output) / "menu", error);
    fs::create_directories(fs::path(output) / "festa", error);
    if (error) {
        std::fprintf(stderr, "nao foi possivel criar %s: %s\n", output.c_str(),
                     error.message().c_str());
        return 1;
    }
    if (!kit::initText(argv[2])) return 1;
    bool ok = false;
    try {
        ok = writeRunnerImages(output) && writeKeyImages(output) && writeMenuImages(output) &&
             writeKeysScreenImages(output) && writeSelectionImages(output) &&
             writeInfoImages(output) && writeWinnerImages(output) && writePartyImages(output) &&
             writeStagesScreenImages(assets, output) && writeStageImages(assets, output);
    } catch (const BitmapCreationError& failed) {
        std::fprintf(stderr, "sem memoria para uma imagem de %d x %d\n", failed.width,
                     failed.height);
    }
    if (!kit::missingFont().empty()) ok = false;
    kit::closeText();
    if (!ok) {
        std::fprintf(stderr, "as imagens do jogo nao foram todas geradas em %s\n", output.c_str());
        return 1;
    }
    return 0;
}
