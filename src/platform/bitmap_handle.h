// BitmapHandle: the owner of one bitmap of the graphics library. The bitmap is destroyed when the
// handle goes, exactly once; an empty handle owns nothing.
//
// createBitmapOrThrow is the checked creation: it gives a bitmap or throws BitmapCreationError
// (the library had no memory for it), never an empty handle that a caller might draw into.
#pragma once

#include <allegro.h>

#include <memory>
#include <stdexcept>

struct BitmapDeleter {
    void operator()(BITMAP* bitmap) const {
        if (bitmap) destroy_bitmap(bitmap);
    }
};
using BitmapHandle = std::unique_ptr<BITMAP, BitmapDeleter>;

// A bitmap of `width` x `height` could not be created.
class BitmapCreationError : public std::runtime_error {
  public:
    BitmapCreationError(int width, int height);
    const int width;
    const int height;
};

// create_bitmap(width, height), checked: throws BitmapCreationError when it gives nothing.
BitmapHandle createBitmapOrThrow(int width, int height);
