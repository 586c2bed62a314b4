// The drawing kit of the image generator and of the stage painter: colours, anti-aliased shapes by
// signed distance, gradients, deterministic noise, FreeType text and the savers for .bmp and .jpg.
//
// Every routine works on 32-bit Allegro memory bitmaps and depends only on its arguments, so the
// same sources always give the same pixels (and, with the fixed savers, the same bytes).
#pragma once

#include <allegro.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/bitmap_handle.h"

namespace kit {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

Rgb mix(Rgb a, Rgb b, double t);
Rgb scale(Rgb c, double factor);
int toAllegro(Rgb c);
Rgb pixelAt(BITMAP* bmp, int x, int y);

// A 32-bit canvas of w x h filled with `fill`, owned by the handle. Throws BitmapCreationError when
// the library has no memory for it.
BitmapHandle newCanvas(int w, int h, Rgb fill);
// Blends colour c over pixel (x, y) with opacity alpha in [0, 1]; outside the bitmap nothing
// happens.
void blendPixel(BITMAP* bmp, int x, int y, Rgb c, double alpha);
void putRgb(BITMAP* bmp, int x, int y, Rgb c);
void fillRect(BITMAP* bmp, int x1, int y1, int x2, int y2, Rgb c, double alpha = 1.0);
void verticalGradient(BITMAP* bmp, int x1, int y1, int x2, int y2, Rgb top, Rgb bottom);

// A shape given by its signed distance (negative inside) at a pixel centre. Anti-aliased fills
// blend the one-pixel band across the edge; hard fills (for sprites on a mask colour) keep only
// pixels whose centre is inside, so no blend with the mask colour can appear.
using Distance = std::function<double(double px, double py)>;
void fillShape(BITMAP* bmp, const Distance& d, int x1, int y1, int x2, int y2, Rgb c,
               bool antialias, double alpha = 1.0);

double circleDistance(double px, double py, double cx, double cy, double r);
double capsuleDistance(double px, double py, double ax, double ay, double bx, double by, double r);
double roundedBoxDistance(double px, double py, double x1, double y1, double x2, double y2,
                          double radius);

void fillCircle(BITMAP* bmp, double cx, double cy, double r, Rgb c, bool antialias = true,
                double alpha = 1.0);
void fillCapsule(BITMAP* bmp, double ax, double ay, double bx, double by, double r, Rgb c,
                 bool antialias = true, double alpha = 1.0);
void fillRoundedRect(BITMAP* bmp, double x1, double y1, double x2, double y2, double radius, Rgb c,
                     bool antialias = true, double alpha = 1.0);
// A rounded frame of the given thickness, drawn inside the rectangle.
void strokeRoundedRect(BITMAP* bmp, double x1, double y1, double x2, double y2, double radius,
                       double thickness, Rgb c, double alpha = 1.0);

// Integer hash noise in [0, 1): a pure function of its arguments.
double hashNoise(int x, int y, int seed);
// Smooth value noise in [0, 1) with the given cell size in pixels.
double valueNoise(double x, double y, double cell, int seed);

enum class Align { Left, Center, Right };

struct TextStyle {
    std::string fontFile = "DejaVuSans-Bold.ttf";
    int pixelSize = 20;
    Rgb colour = kWhite;
    bool shadow = false;
    Rgb shadowColour = kBlack;
    int shadowOffset = 2;
    // Text on a mask background must not blend into magenta: coverage is then rounded to all or
    // nothing.
    bool hardEdges = false;
};

// Opens the FreeType library (closing one opened before); fonts are looked up in fontDir. Returns
// false with a message on failure. closeText releases the library and its faces; what is still
// open at exit is released then. A font that cannot be opened is said once on standard error and
// draws nothing (its text is 0 wide); missingFont() then names it ("" while every font opened).
// Not thread-safe: one thread draws text at a time.
bool initText(const std::string& fontDir);
void closeText();
const std::string& missingFont();
int textWidth(const std::string& text, const TextStyle& style);
// Draws the text with its baseline at y; x is the left edge, the centre or the right edge according
// to align.
void drawText(BITMAP* bmp, const std::string& text, int x, int baseline, const TextStyle& style,
              Align align = Align::Left);
// The largest pixel size not above style.pixelSize at which the text fits in maxWidth.
int fitSize(const std::string& text, TextStyle style, int maxWidth);

bool saveBmp(BITMAP* bmp, const std::string& path);
bool saveJpg(BITMAP* bmp, const std::string& path);

}  // namespace kit
