// Helpers for the tests of the generated images: loading a file of the build's Img/ folder and
// comparing or classifying its pixels.
#pragma once

#include <allegro.h>

#include <string>

#include "platform/bitmap_handle.h"

// Loads "Img/..." from the build tree (JPEG support registered on first use); null if missing.
BitmapHandle loadGenerated(const std::string& relativePath);

struct Pixel {
    int r, g, b;
};
Pixel pixelOf(BITMAP* bmp, int x, int y);
bool isMagenta(Pixel p);
// A colour between the mask colour and something else: what blending a figure into magenta leaves.
bool isPinkFringe(Pixel p);
int luma(Pixel p);
// Mean absolute difference per channel between two equally sized areas.
double meanDifference(BITMAP* a, int ax, int ay, BITMAP* b, int bx, int by, int w, int h);
