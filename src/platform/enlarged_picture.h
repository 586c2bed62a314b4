// The game's picture enlarged by a whole factor for the window, each pixel a factor x factor block.
//
// The graphics library's stretch_blit steps through every pixel of the larger picture with a
// fraction; a whole factor only repeats pixels and rows, which is several times cheaper, and the
// window shows a picture 29 times a second. The window is given the picture a band of rows at a
// time: a band small enough to stay in the processor's cache is enlarged and copied to the window
// at once, instead of a whole enlarged picture (4.9 MB at twice the size) written to memory and
// read back.
#pragma once

#include <allegro.h>

// Source rows in one band.
constexpr int kEnlargedBandRows = 16;

// Whether enlargeInto can enlarge `rows` rows of `picture` into `enlarged` by `factor`: two memory
// bitmaps of 32 bits a pixel, `enlarged` at least `factor` times as wide as the picture and as high
// as the rows.
bool canEnlargeInto(const BITMAP* picture, const BITMAP* enlarged, int factor, int rows);
// Enlarges the rows of `picture` from `firstRow` (`rows` of them, within the picture) into the top
// left corner of `enlarged`.
void enlargeInto(const BITMAP* picture, int firstRow, int rows, BITMAP* enlarged, int factor);
