#include "support/image_checks.h"

#include <jpgalleg.h>

#include <cstdlib>

BitmapHandle loadGenerated(const std::string& relativePath) {
    static const bool jpegReady = (jpgalleg_init(), true);
    (void)jpegReady;
    const std::string path = std::string(TEST_IMG_ROOT) + "/" + relativePath;
    return BitmapHandle(load_bitmap(path.c_str(), nullptr));
}

Pixel pixelOf(BITMAP* bmp, int x, int y) {
    const int c = getpixel(bmp, x, y);
    return {getr(c), getg(c), getb(c)};
}

bool isMagenta(Pixel p) { return p.r == 255 && p.g == 0 && p.b == 255; }

bool isPinkFringe(Pixel p) { return !isMagenta(p) && p.r > 150 && p.b > 150 && p.g < 100; }

int luma(Pixel p) { return (p.r * 299 + p.g * 587 + p.b * 114) / 1000; }

double meanDifference(BITMAP* a, int ax, int ay, BITMAP* b, int bx, int by, int w, int h) {
    long total = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Pixel p = pixelOf(a, ax + x, ay + y), q = pixelOf(b, bx + x, by + y);
            total += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return double(total) / (3.0 * w * h);
}
