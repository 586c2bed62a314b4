// The game's picture enlarged by a whole factor for the window, each pixel a factor x factor block.
//
// The graphics library's stretch_blit steps through every pixel of the larger picture with a
// fraction; a whole factor only repeats pixels and rows, which is several times cheaper, and the
// window shows a picture 29 times a second.
#pragma once

#include <allegro.h>

// Whether enlargeInto can enlarge `picture` into `enlarged` by `factor`: two memory bitmaps of 32
// bits a pixel, `enlarged` at least `factor` times as wide and as high.
bool canEnlargeInto(const BITMAP* picture, const BITMAP* enlarged, int factor);
// Enlarges `picture` into the top left corner of `enlarged`.
void enlargeInto(const BITMAP* picture, BITMAP* enlarged, int factor);
