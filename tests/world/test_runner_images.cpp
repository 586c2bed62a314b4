// The generated runner sprite sheets, key pictures, countdown and mask pixel: layout, mask colour,
// no blending into the mask, six different characters with a moving animation.
#include <gtest/gtest.h>

#include <string>

#include "support/image_checks.h"
#include "world/runner_sprites.h"

namespace {

constexpr int kW = 42, kH = 47, kAirY = 49;

int figurePixels(BITMAP* sheet, int left, int top) {
    int count = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) count += !isMagenta(pixelOf(sheet, left + x, top + y));
    return count;
}

int fringePixels(BITMAP* bmp) {
    int count = 0;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) count += isPinkFringe(pixelOf(bmp, x, y));
    return count;
}

}  // namespace

TEST(RunnerImages, SheetsFollowTheLayoutOnTheMaskColour) {
    for (const char* path : kRunnerSpritePaths) {
        SCOPED_TRACE(path);
        BitmapHandle sheet = loadGenerated(path);
        ASSERT_TRUE(sheet);
        EXPECT_GE(sheet->w, 5 * kW);
        EXPECT_GE(sheet->h, kAirY + kH);
        // Rows 47 and 48 separate the two rows of frames: nothing may spill into them.
        for (int x = 0; x < sheet->w; ++x) {
            EXPECT_TRUE(isMagenta(pixelOf(sheet.get(), x, kH)));
            EXPECT_TRUE(isMagenta(pixelOf(sheet.get(), x, kH + 1)));
        }
        for (int k = 0; k < 5; ++k) {
            EXPECT_GT(figurePixels(sheet.get(), k * kW, 0), 250) << "running frame " << k;
            bool feetDown = false;
            for (int x = 0; x < kW; ++x)
                feetDown = feetDown || !isMagenta(pixelOf(sheet.get(), k * kW + x, kH - 1));
            EXPECT_TRUE(feetDown) << "running frame " << k << " floats above the floor";
        }
        for (int k = 0; k < 4; ++k)
            EXPECT_GT(figurePixels(sheet.get(), k * kW, kAirY), 250) << "airborne frame " << k;
        EXPECT_EQ(fringePixels(sheet.get()), 0)
            << "figures blended into the mask colour show a pink fringe";
    }
}

TEST(RunnerImages, FramesAnimateAndCharactersDiffer) {
    BitmapHandle sheets[kMaxPlayers];
    for (int c = 0; c < kMaxPlayers; ++c) {
        sheets[c] = loadGenerated(kRunnerSpritePaths[c]);
        ASSERT_TRUE(sheets[c]);
    }
    for (int c = 0; c < kMaxPlayers; ++c) {
        for (int k = 1; k < 5; ++k)
            EXPECT_GT(meanDifference(sheets[c].get(), (k - 1) * kW, 0, sheets[c].get(), k * kW, 0,
                                     kW, kH),
                      3.0)
                << "character " << c + 1 << " running frames " << k - 1 << " and " << k
                << " look the same";
        EXPECT_GT(meanDifference(sheets[c].get(), 0, 0, sheets[c].get(), 0, kAirY, kW, kH), 3.0)
            << "character " << c + 1 << ": running and airborne look the same";
        for (int d = c + 1; d < kMaxPlayers; ++d)
            EXPECT_GT(meanDifference(sheets[c].get(), 0, 0, sheets[d].get(), 0, 0, kW, kH), 8.0)
                << "characters " << c + 1 << " and " << d + 1 << " are hard to tell apart";
    }
}

TEST(RunnerImages, KeyPicturesSitCentredAboveTheRunnerWithoutCoveringIt) {
    // Drawn at (x - 15, y - 60): 72 wide centres them over the 42-wide runner, at most 13 tall
    // keeps them above the runner's top row (y - 47).
    for (const char* name : {"X", "M", "R", "A", "CTRL", "1", "2", "3", "4", "5", "6"}) {
        SCOPED_TRACE(name);
        BitmapHandle key = loadGenerated(std::string("Img/Jogo/") + name + ".bmp");
        ASSERT_TRUE(key);
        EXPECT_EQ(key->w, 72);
        EXPECT_LE(key->h, 13);
        EXPECT_TRUE(isMagenta(pixelOf(key.get(), 0, 0)));
        EXPECT_FALSE(isMagenta(pixelOf(key.get(), 36, key->h / 2)));
        EXPECT_EQ(fringePixels(key.get()), 0);
    }
    BitmapHandle x = loadGenerated("Img/Jogo/X.bmp"), m = loadGenerated("Img/Jogo/M.bmp");
    EXPECT_GT(meanDifference(x.get(), 0, 0, m.get(), 0, 0, 72, x->h), 1.0);
}

TEST(RunnerImages, CountdownCellsAndMaskPixel) {
    BitmapHandle strip = loadGenerated("Img/Jogo/54321.bmp");
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->w, 500);
    EXPECT_EQ(strip->h, 100);
    for (int cell = 0; cell < 5; ++cell) {
        EXPECT_TRUE(isMagenta(pixelOf(strip.get(), cell * 100 + 1, 1))) << cell;
        EXPECT_FALSE(isMagenta(pixelOf(strip.get(), cell * 100 + 50, 50))) << cell;
        if (cell > 0) {
            EXPECT_GT(meanDifference(strip.get(), (cell - 1) * 100, 0, strip.get(), cell * 100, 0,
                                     100, 100),
                      5.0);
        }
    }
    EXPECT_EQ(fringePixels(strip.get()), 0);
    BitmapHandle pixel = loadGenerated("Img/Jogo/pixelTransparente.bmp");
    ASSERT_TRUE(pixel);
    EXPECT_EQ(pixel->w, 1);
    EXPECT_EQ(pixel->h, 1);
    EXPECT_TRUE(isMagenta(pixelOf(pixel.get(), 0, 0)));
}
