// The image generator's kit owns what it opens: a canvas the library has no memory for is an error,
// not a null bitmap to draw into.
#include <gtest/gtest.h>

#include "kit.h"
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

}  // namespace
