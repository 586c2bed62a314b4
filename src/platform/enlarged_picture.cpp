#include "platform/enlarged_picture.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The library's queries take bitmaps they do not change as non-const.
bool isMemoryBitmapOf32Bits(const BITMAP* bitmap) {
    BITMAP* queried = const_cast<BITMAP*>(bitmap);
    return is_memory_bitmap(queried) && bitmap_color_depth(queried) == 32;
}

// Each of the `count` pixels of `from` twice, side by side, into `to`: four at a time where the
// processor has SSE2 (every x86-64 has), the rest one by one.
void doublePixels(const uint32_t* from, uint32_t* to, int count) {
    int x = 0;
#if defined(__SSE2__)
    for (; x + 4 <= count; x += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * x), _mm_unpacklo_epi32(four, four));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 2 * x + 4),
                         _mm_unpackhi_epi32(four, four));
    }
#endif
    for (; x < count; ++x) {
        to[2 * x] = from[x];
        to[2 * x + 1] = from[x];
    }
}

}  // namespace

bool canEnlargeInto(const BITMAP* picture, const BITMAP* enlarged, int factor, int rows) {
    return picture && enlarged && factor >= 2 && rows >= 0 && isMemoryBitmapOf32Bits(picture) &&
           isMemoryBitmapOf32Bits(enlarged) && enlarged->w >= picture->w * factor &&
           enlarged->h >= rows * factor;
}

void enlargeInto(const BITMAP* picture, int firstRow, int rows, BITMAP* enlarged, int factor) {
    const int width = picture->w;
    const size_t rowBytes = static_cast<size_t>(width) * factor * sizeof(uint32_t);
    for (int row = 0; row < rows; ++row) {
        const auto* from = reinterpret_cast<const uint32_t*>(picture->line[firstRow + row]);
        auto* to = reinterpret_cast<uint32_t*>(enlarged->line[row * factor]);
        if (factor == 2) {
            doublePixels(from, to, width);
        } else {
            for (int x = 0; x < width; ++x) {
                for (int k = 0; k < factor; ++k) to[x * factor + k] = from[x];
            }
        }
        for (int k = 1; k < factor; ++k) {
            std::memcpy(enlarged->line[row * factor + k], to, rowBytes);
        }
    }
}
