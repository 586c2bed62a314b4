#include <gtest/gtest.h>

#include "platform/graphics.h"

TEST(WindowScale, TheLargestWholeFactorThatFitsTheDesktop) {
    struct Case {
        int width, height, scale;
    };
    for (const Case c : {Case{1024, 768, 1}, Case{1279, 1024, 1}, Case{1280, 960, 2},
                         Case{1920, 1080, 2}, Case{2560, 1440, 3}, Case{3840, 2160, 4},
                         Case{7680, 4320, 4}, Case{0, 0, 1}, Case{640, 480, 1}}) {
        EXPECT_EQ(fittingScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
    }
}
