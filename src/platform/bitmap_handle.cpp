#include "platform/bitmap_handle.h"

#include <string>

BitmapCreationError::BitmapCreationError(int width, int height)
    : std::runtime_error("create_bitmap " + std::to_string(width) + " x " + std::to_string(height) +
                         " failed"),
      width(width),
      height(height) {}

BitmapHandle createBitmapOrThrow(int width, int height) {
    BitmapHandle bitmap(create_bitmap(width, height));
    if (!bitmap) throw BitmapCreationError(width, height);
    return bitmap;
}
