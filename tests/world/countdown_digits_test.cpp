// Reads the digits of the countdown strip back: each cell's white figure is matched against the
// digits 1 to 5 drawn in the game's lettering, and the countdown order (cells at x = 400 down to
// x = 0) must read 5, 4, 3, 2, 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/image_checks.h"
#include "world/paint_kit.h"

namespace {

// The figure of a glyph: its near-white pixels, cut to their bounding box.
struct Figure {
    int w = 0, h = 0;
    std::vector<bool> on;
    bool at(int x, int y) const { return x < w && y < h && on[y * w + x]; }
};

bool isWhite(Pixel p) { return p.r > 225 && p.g > 225 && p.b > 225; }

Figure figureOf(BITMAP* bmp, int left, int top, int size) {
    int x1 = size, y1 = size, x2 = -1, y2 = -1;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (isWhite(pixelOf(bmp, left + x, top + y))) {
                x1 = std::min(x1, x), y1 = std::min(y1, y);
                x2 = std::max(x2, x), y2 = std::max(y2, y);
            }
    Figure f;
    if (x2 < 0) return f;
    f.w = x2 - x1 + 1, f.h = y2 - y1 + 1;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) f.on.push_back(isWhite(pixelOf(bmp, left + x, top + y)));
    return f;
}

// Intersection over union of two figures laid on each other by their top-left corners.
double overlap(const Figure& a, const Figure& b) {
    int both = 0, either = 0;
    for (int y = 0; y < std::max(a.h, b.h); ++y)
        for (int x = 0; x < std::max(a.w, b.w); ++x) {
            both += a.at(x, y) && b.at(x, y);
            either += a.at(x, y) || b.at(x, y);
        }
    return either ? static_cast<double>(both) / either : 0.0;
}

// The digit whose reference figure matches best, 0 when no digit matches well.
int readDigit(const Figure& cell, const std::vector<Figure>& references) {
    int best = 0;
    double bestScore = 0.8;  // a clear match or nothing
    for (size_t d = 0; d < references.size(); ++d) {
        const double score = overlap(cell, references[d]);
        if (score > bestScore) bestScore = score, best = static_cast<int>(d) + 1;
    }
    return best;
}

}  // namespace

TEST(CountdownDigits, TheCountdownOrderReadsFiveToOne) {
    BitmapHandle strip = loadGenerated("Img/Jogo/54321.bmp");
    ASSERT_TRUE(strip);
    ASSERT_TRUE(kit::initText(TEST_FONT_DIR));
    std::vector<Figure> references;
    for (int d = 1; d <= 5; ++d) {
        const BitmapHandle canvas = kit::newCanvas(100, 100, kit::kBlack);
        kit::drawText(canvas.get(), std::to_string(d), 50, 74,
                      {"DejaVuSans-Bold.ttf", 66, kit::kWhite}, kit::Align::Center);
        references.push_back(figureOf(canvas.get(), 0, 0, 100));
    }
    kit::closeText();

    std::string shown;
    for (int offset = 400; offset >= 0; offset -= 100) {
        shown += std::to_string(readDigit(figureOf(strip.get(), offset, 0, 100), references));
    }
    EXPECT_EQ(shown, "54321");
}
