// gerar_icone: the program's desktop icon, drawn from player 1's first running frame.
//
// Usage: gerar_icone IMG_DIR OUTPUT_PNG
// Reads player 1's sprite sheet under IMG_DIR (the image generator's output), cuts the first 42 x
// 48 frame down to its drawn pixels, scales it up by the largest whole factor that fits, centres it
// in a 128 x 128 square with a transparent background (the sprites' magenta) and writes an RGBA
// PNG. The same sprite always gives the same bytes.
#include <allegro.h>
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "world/runner_sprites.h"

namespace {

constexpr int kIconSize = 128;
constexpr int kMargin = 4;
constexpr int kFrameWidth = 42;
constexpr int kFrameHeight = 48;

struct Rgba {
    unsigned char r = 0, g = 0, b = 0, a = 0;
};

bool isBackground(BITMAP* sprite, int x, int y) {
    return getpixel(sprite, x, y) == makecol(255, 0, 255);
}

std::vector<Rgba> drawIcon(BITMAP* sprite) {
    int left = kFrameWidth, top = kFrameHeight, right = -1, bottom = -1;
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            if (isBackground(sprite, x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    std::vector<Rgba> icon(kIconSize * kIconSize);
    if (right < 0) return icon;
    const int width = right - left + 1, height = bottom - top + 1;
    const int scale = std::max(
        1, std::min((kIconSize - 2 * kMargin) / width, (kIconSize - 2 * kMargin) / height));
    const int originX = (kIconSize - width * scale) / 2, originY = (kIconSize - height * scale) / 2;
    for (int y = 0; y < height * scale; ++y) {
        for (int x = 0; x < width * scale; ++x) {
            const int sx = left + x / scale, sy = top + y / scale;
            if (isBackground(sprite, sx, sy)) continue;
            const int colour = getpixel(sprite, sx, sy);
            Rgba& pixel = icon[(originY + y) * kIconSize + originX + x];
            pixel = {static_cast<unsigned char>(getr(colour)),
                     static_cast<unsigned char>(getg(colour)),
                     static_cast<unsigned char>(getb(colour)), 255};
        }
    }
    return icon;
}

bool writePng(const std::string& file, const std::vector<Rgba>& icon) {
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, out);
        png_set_IHDR(png, info, kIconSize, kIconSize, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < kIconSize; ++y) {
            png_write_row(png, reinterpret_cast<png_const_bytep>(&icon[y * kIconSize]));
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s PASTA_IMG ICONE_PNG\n", argv[0]);
        return 2;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    // The game names its files from its data folder, "Img/...": IMG_DIR is that Img/.
    const std::string spriteFile =
        std::string(argv[1]) + "/" + std::string(kRunnerSpritePaths[0]).substr(4);
    BITMAP* sprite = load_bitmap(spriteFile.c_str(), nullptr);
    if (!sprite) {
        std::fprintf(stderr, "nao foi possivel ler %s\n", spriteFile.c_str());
        return 1;
    }
    const std::vector<Rgba> icon = drawIcon(sprite);
    destroy_bitmap(sprite);
    if (!writePng(argv[2], icon)) {
        std::fprintf(stderr, "nao foi possivel escrever %s\n", argv[2]);
        return 1;
    }
    return 0;
}
