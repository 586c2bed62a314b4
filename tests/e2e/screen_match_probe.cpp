// screen_match_probe: checks a screenshot of the game window against one of the game's images.
//
//   screen_match_probe SHOT REFERENCE X Y [SRC_X SRC_Y WIDTH HEIGHT]
//       The reference's region (all of it by default) must appear in SHOT with its top-left corner
//       at (X, Y). Pixels in the mask colour (magenta) of the reference are not compared: there
//       the picture lets what is below show through.
//   screen_match_probe --find-x SHOT REFERENCE Y HEIGHT MAX_X
//       SHOT's rows Y..Y+HEIGHT-1 (640 wide) must appear in the reference's same rows at some
//       horizontal offset from 0 to MAX_X (a scrolled stage picture).
//
// A pixel matches when each colour channel is within 40 of the reference (JPEG and screen depth
// conversions stay well inside that). Passes (status 0) when at least 95% of at least 100 compared
// pixels match; prints the figures either way. Images load as the game loads them.
#include <allegro.h>
#include <jpgalleg.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Score {
    long compared = 0;
    long matching = 0;
    double share() const { return compared ? static_cast<double>(matching) / compared : 0.0; }
};

bool close(int a, int b) {
    return std::abs(getr(a) - getr(b)) <= 40 && std::abs(getg(a) - getg(b)) <= 40 &&
           std::abs(getb(a) - getb(b)) <= 40;
}

Score compareRegion(BITMAP* shot, BITMAP* reference, int x, int y, int srcX, int srcY, int width,
                    int height) {
    Score score;
    const int mask = bitmap_mask_color(reference);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const int wanted = getpixel(reference, srcX + col, srcY + row);
            const int seen = getpixel(shot, x + col, y + row);
            if (wanted < 0 || seen < 0 || wanted == mask) continue;
            ++score.compared;
            score.matching += close(seen, wanted);
        }
    }
    return score;
}

BITMAP* load(const char* path) {
    BITMAP* bitmap = load_bitmap(path, nullptr);
    if (!bitmap) std::printf("nao foi possivel ler %s\n", path);
    return bitmap;
}

int verdict(const Score& score, const char* what) {
    const bool ok = score.compared >= 100 && score.share() >= 0.95;
    std::printf("%s: %ld de %ld pixels conferem (%.1f%%) -> %s\n", what, score.matching,
                score.compared, 100.0 * score.share(), ok ? "ok" : "FALHOU");
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    if (argc == 7 && std::strcmp(argv[1], "--find-x") == 0) {
        BITMAP* shot = load(argv[2]);
        BITMAP* reference = load(argv[3]);
        if (!shot || !reference) return 2;
        const int y = std::atoi(argv[4]);
        const int height = std::atoi(argv[5]);
        const int maxX = std::atoi(argv[6]);
        Score best;
        int bestX = -1;
        for (int offset = 0; offset <= maxX && offset + 640 <= reference->w; ++offset) {
            const Score score = compareRegion(shot, reference, 0, y, offset, y, 640, height);
            if (score.share() > best.share()) {
                best = score;
                bestX = offset;
            }
        }
        std::printf("melhor deslocamento: x = %d\n", bestX);
        destroy_bitmap(shot);
        destroy_bitmap(reference);
        return verdict(best, argv[3]);
    }
    if (argc != 5 && argc != 9) {
        std::fprintf(stderr,
                     "uso: %s SHOT REFERENCIA X Y [SRC_X SRC_Y LARGURA ALTURA]\n"
                     "     %s --find-x SHOT REFERENCIA Y ALTURA MAX_X\n",
                     argv[0], argv[0]);
        return 2;
    }
    BITMAP* shot = load(argv[1]);
    BITMAP* reference = load(argv[2]);
    if (!shot || !reference) return 2;
    const int x = std::atoi(argv[3]);
    const int y = std::atoi(argv[4]);
    int srcX = 0, srcY = 0, width = reference->w, height = reference->h;
    if (argc == 9) {
        srcX = std::atoi(argv[5]);
        srcY = std::atoi(argv[6]);
        width = std::atoi(argv[7]);
        height = std::atoi(argv[8]);
    }
    const Score score = compareRegion(shot, reference, x, y, srcX, srcY, width, height);
    destroy_bitmap(shot);
    destroy_bitmap(reference);
    return verdict(score, argv[2]);
}
