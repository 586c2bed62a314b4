// The image generator's kit owns what it opens: a canvas the library has no memory for is an error,
// not a null bitmap to draw into, and the text library may be opened again and closed twice.
#include <gtest/gtest.h>

#include "world/paint_kit.h"
#include "world/world_fixture.h"

namespace {

TEST(ImageKitOwners, ACanvasTheLibraryHasNoMemoryForIsAnErrorNamingItsSize) {
    BitmapMemoryShortage shortage(200 * 100);
    const BitmapHandle small = kit::newCanvas(20, 10, {10, 20, 30});
    ASSERT_TRUE(small);
    EXPECT_EQ(bitmap_color_depth(small.get()), 32);
    try {
        kit::newCanvas(200, 100, kit::kBlack);
        ADD_FAILURE() << "a canvas the library could not make was given";
    } catch (const BitmapCreationError& failed) {
        EXPECT_EQ(failed.width, 200);
        EXPECT_EQ(failed.height, 100);
    }
}

// Under the leak checker of the sanitizer pass, a library opened again without the first being
// released fails this test.
TEST(ImageKitOwners, TextOpenedAgainDrawsTheSameLettersAndClosesTwiceSafely) {
    auto draw = [] {
        const BitmapHandle canvas = kit::newCanvas(60, 40, kit::kBlack);
        kit::drawText(canvas.get(), "Ag", 4, 30, {"DejaVuSans-Bold.ttf", 24, kit::kWhite});
        long ink = 0;
        for (int y = 0; y < canvas->h; ++y)
            for (int x = 0; x < canvas->w; ++x) ink += kit::pixelAt(canvas.get(), x, y).r;
        return ink;
    };
    ASSERT_TRUE(kit::initText(TEST_FONT_DIR));
    const long first = draw();
    ASSERT_TRUE(kit::initText(TEST_FONT_DIR));
    EXPECT_EQ(draw(), first);
    EXPECT_GT(first, 0);
    kit::closeText();
    kit::closeText();
}

}  // namespace
