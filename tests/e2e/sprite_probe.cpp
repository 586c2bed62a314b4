// sprite_probe: finds a runner in a screenshot, for the end-to-end tests.
//
//   sprite_probe SCREENSHOT.bmp SHEET.bmp
//
// Looks for every animation frame of the runner sheet (42 x 47 frames: five on the ground row,
// four on the air row), upright and upside down, and prints the best match that covers at least
// 75% of the frame's visible pixels: "upright X Y", "flipped X Y" (top-left corner in the
// screenshot), or "none". The mask colour of the sheet is not compared.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 42;
constexpr int kHeight = 47;

struct Match {
    double score = 0;
    bool flipped = false;
    int x = 0;
    int y = 0;
};

// A bitmap's pixels as plain 32-bit values, row after row.
struct Pixels {
    int w;
    int h;
    std::vector<int> values;
    Pixels(BITMAP* bitmap, int x0, int y0, int w, int h) : w(w), h(h), values(w * h) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) values[y * w + x] = getpixel(bitmap, x0 + x, y0 + y);
        }
    }
    int at(int x, int y) const { return values[y * w + x]; }
};

// The frame's visible pixels: offset in the frame and colour.
struct Visible {
    int dx;
    int dy;
    int colour;
};

// Fraction of the visible pixels equal at (x, y), or 0 when more than a quarter differ (another
// sprite or a key picture may cover part of the runner).
double scoreAt(const Pixels& shot, const std::vector<Visible>& frame, int x, int y) {
    const int allowedMisses = static_cast<int>(frame.size()) / 4;
    int misses = 0;
    for (const Visible& pixel : frame) {
        if (shot.at(x + pixel.dx, y + pixel.dy) != pixel.colour && ++misses > allowedMisses)
            return 0;
    }
    return 1.0 - static_cast<double>(misses) / frame.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    BITMAP* shot = load_bitmap(argv[1], nullptr);
    BITMAP* sheet = load_bitmap(argv[2], nullptr);
    if (!shot || !sheet) {
        std::printf("imagem ilegivel\n");
        return 2;
    }
    const Pixels screen(shot, 0, 0, shot->w, shot->h);
    const int mask = bitmap_mask_color(sheet);
    Match best;
    for (int k = 0; k < 9; ++k) {
        const int fx = k < 5 ? k * kWidth : (k - 5) * kWidth;
        const int fy = k < 5 ? 0 : kHeight + 2;
        const Pixels frame(sheet, fx, fy, kWidth, kHeight);
        for (int flipped = 0; flipped < 2; ++flipped) {
            std::vector<Visible> visible;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const int colour = frame.at(x, flipped ? kHeight - 1 - y : y);
                    if (colour != mask) visible.push_back({x, y, colour});
                }
            }
            if (visible.size() < 50) continue;
            for (int y = 0; y + kHeight <= screen.h; ++y) {
                for (int x = 0; x + kWidth <= screen.w; ++x) {
                    const double score = scoreAt(screen, visible, x, y);
                    if (score > best.score) best = {score, flipped != 0, x, y};
                }
            }
        }
    }
    if (best.score < 0.75) {
        std::printf("none\n");
    } else {
        std::printf("%s %d %d\n", best.flipped ? "flipped" : "upright", best.x, best.y);
    }
    return 0;
}
