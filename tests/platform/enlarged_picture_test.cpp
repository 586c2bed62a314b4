// The picture enlarged for the window by a whole factor, band by band, is the graphics library's
// own stretch of it, pixel for pixel, whatever the band's height (the last band may be shorter),
// and the enlargement refuses bitmaps it cannot read as 32-bit rows.
#include "platform/enlarged_picture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/bitmap_handle.h"

namespace {

// Wide enough for the four-pixel steps of the doubling and a remainder after them.
constexpr int kWidth = 11, kHeight = 7;

TEST(EnlargedPicture, BandByBandIsTheLibrarysStretchForEveryWholeFactor) {
    BitmapHandle picture(create_bitmap_ex(32, kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            putpixel(picture.get(), x, y, makecol32(20 * x, 30 * y, x + y));
        }
    }
    for (int factor = 2; factor <= 4; ++factor) {
        BitmapHandle stretched(create_bitmap_ex(32, kWidth * factor, kHeight * factor));
        stretch_blit(picture.get(), stretched.get(), 0, 0, kWidth, kHeight, 0, 0, kWidth * factor,
                     kHeight * factor);
        for (int bandRows : {1, 3, kHeight}) {
            BitmapHandle band(create_bitmap_ex(32, kWidth * factor, bandRows * factor));
            ASSERT_TRUE(canEnlargeInto(picture.get(), band.get(), factor, bandRows));
            for (int first = 0; first < kHeight; first += bandRows) {
                const int rows = std::min(bandRows, kHeight - first);
                clear_to_color(band.get(), makecol32(255, 0, 255));
                enlargeInto(picture.get(), first, rows, band.get(), factor);
                for (int y = 0; y < rows * factor; ++y) {
                    for (int x = 0; x < kWidth * factor; ++x) {
                        ASSERT_EQ(getpixel(band.get(), x, y),
                                  getpixel(stretched.get(), x, first * factor + y))
                            << "factor " << factor << ", bands of " << bandRows << " rows, row "
                            << first << ", at " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(EnlargedPicture, RefusesWhatItCannotEnlargeInto) {
    BitmapHandle picture(create_bitmap_ex(32, kWidth, kHeight));
    BitmapHandle band(create_bitmap_ex(32, 2 * kWidth, 6));
    EXPECT_TRUE(canEnlargeInto(picture.get(), band.get(), 2, 3));
    EXPECT_FALSE(canEnlargeInto(picture.get(), band.get(), 2, 4)) << "too low for the rows";
    BitmapHandle narrow(create_bitmap_ex(32, 2 * kWidth - 1, 6));
    EXPECT_FALSE(canEnlargeInto(picture.get(), narrow.get(), 2, 3)) << "too narrow";
    BitmapHandle sixteen(create_bitmap_ex(16, 2 * kWidth, 6));
    EXPECT_FALSE(canEnlargeInto(picture.get(), sixteen.get(), 2, 3)) << "not 32 bits a pixel";
    EXPECT_FALSE(canEnlargeInto(picture.get(), nullptr, 2, 3));
    EXPECT_FALSE(canEnlargeInto(picture.get(), band.get(), 1, 3)) << "not enlarged";
}

}  // namespace
