// The picture enlarged for the window by a whole factor is the graphics library's own stretch of
// it, pixel for pixel, and the enlargement refuses bitmaps it cannot read as 32-bit rows.
#include "platform/enlarged_picture.h"

#include <gtest/gtest.h>

#include "platform/bitmap_handle.h"

namespace {

TEST(EnlargedPicture, IsTheLibrarysStretchForEveryWholeFactor) {
    BitmapHandle picture(create_bitmap_ex(32, 5, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) putpixel(picture.get(), x, y, makecol32(40 * x, 70 * y, x + y));
    }
    for (int factor = 2; factor <= 4; ++factor) {
        BitmapHandle enlarged(create_bitmap_ex(32, 5 * factor, 3 * factor));
        BitmapHandle stretched(create_bitmap_ex(32, 5 * factor, 3 * factor));
        ASSERT_TRUE(canEnlargeInto(picture.get(), enlarged.get(), factor));
        enlargeInto(picture.get(), enlarged.get(), factor);
        stretch_blit(picture.get(), stretched.get(), 0, 0, 5, 3, 0, 0, 5 * factor, 3 * factor);
        for (int y = 0; y < 3 * factor; ++y) {
            for (int x = 0; x < 5 * factor; ++x) {
                ASSERT_EQ(getpixel(enlarged.get(), x, y), getpixel(stretched.get(), x, y))
                    << "factor " << factor << " at " << x << "," << y;
            }
        }
    }
    BitmapHandle small(create_bitmap_ex(32, 9, 6));
    EXPECT_FALSE(canEnlargeInto(picture.get(), small.get(), 2)) << "too narrow";
    BitmapHandle sixteen(create_bitmap_ex(16, 10, 6));
    EXPECT_FALSE(canEnlargeInto(picture.get(), sixteen.get(), 2)) << "not 32 bits a pixel";
    EXPECT_FALSE(canEnlargeInto(picture.get(), nullptr, 2));
}

}  // namespace
