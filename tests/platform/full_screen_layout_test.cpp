#include "platform/full_screen_layout.h"

#include <gtest/gtest.h>

TEST(FullScreenLayout, TheLargestWholeFactorCentredWithoutCapOnLargeScreens) {
    struct Case {
        int width, height, factor, x, y;
    };
    for (const Case c :
         {Case{1920, 1080, 2, 320, 60}, Case{1280, 1024, 2, 0, 32}, Case{1366, 768, 1, 363, 144},
          Case{2560, 1440, 3, 320, 0}, Case{3840, 2160, 4, 640, 120}, Case{7680, 4320, 9, 960, 0},
          Case{640, 480, 1, 0, 0}, Case{1279, 959, 1, 319, 239}, Case{1281, 961, 2, 0, 0}}) {
        const PictureLayout layout = fullScreenLayout(c.width, c.height);
        EXPECT_EQ(layout.factor, c.factor) << c.width << "x" << c.height;
        EXPECT_EQ(layout.x, c.x) << c.width << "x" << c.height;
        EXPECT_EQ(layout.y, c.y) << c.width << "x" << c.height;
    }
}

TEST(FullScreenLayout, AScreenSmallerThanThePictureShowsItFromTheCorner) {
    for (const auto& [width, height] :
         {std::pair{800, 400}, std::pair{320, 240}, std::pair{0, 0}}) {
        const PictureLayout layout = fullScreenLayout(width, height);
        EXPECT_EQ(layout.factor, 1) << width << "x" << height;
        EXPECT_EQ(layout.y, 0) << width << "x" << height;
        EXPECT_GE(layout.x, 0) << width << "x" << height;
    }
    EXPECT_EQ(fullScreenLayout(800, 400).x, 80);
}
