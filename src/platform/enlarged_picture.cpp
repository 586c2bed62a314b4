#include "platform/enlarged_picture.h"

#include <cstdint>
#include <cstring>

namespace {

// The library's queries take bitmaps they do not change as non-const.
bool isMemoryBitmapOf32Bits(const BITMAP* bitmap) {
    BITMAP* queried = const_cast<BITMAP*>(bitmap);
    return is_memory_bitmap(queried) && bitmap_color_depth(queried) == 32;
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
            for (int x = 0; x < width; ++x) {
                to[2 * x] = from[x];
                to[2 * x + 1] = from[x];
            }
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
