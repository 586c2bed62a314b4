#include "world/stage_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "world/paint_kit.h"

using kit::Rgb;

namespace {

// What fills the sky: clouds by day, a low sun every few screens, or stars.
enum class Sky { kClouds, kSun, kStars };

struct Theme {
    Rgb skyTop, skyBottom, hill, hillFar, stone, stoneDark, mortar, topSurface, topSurfaceDark,
        underside, edge;
    int seed;
    Sky sky;
    bool mesas;   // the far range in flat-topped steps, not rolling hills
    bool bricks;  // stone bricks, not strata
};

const Theme kThemes[kLevelThemes] = {
    // Stage 1: a bright day over green hills, stone bricks with grass on top.
    {{110, 178, 240},
     {214, 236, 250},
     {150, 196, 160},
     {176, 208, 214},
     {132, 120, 108},
     {104, 94, 86},
     {84, 76, 70},
     {84, 176, 62},
     {56, 136, 48},
     {62, 118, 58},
     {28, 24, 22},
     11,
     Sky::kClouds,
     false,
     true},
    // Stage 2: a sunset canyon, layered sandstone with sand on top.
    {{246, 150, 92},
     {252, 220, 160},
     {214, 140, 104},
     {232, 176, 132},
     {176, 84, 50},
     {146, 64, 40},
     {120, 50, 32},
     {236, 196, 120},
     {206, 160, 92},
     {120, 52, 36},
     {40, 18, 12},
     23,
     Sky::kSun,
     true,
     false},
    // Theme 3: a frozen pass, ice bricks under snow.
    {{150, 200, 236},
     {232, 244, 252},
     {196, 214, 230},
     {220, 232, 242},
     {150, 186, 212},
     {118, 156, 186},
     {96, 128, 158},
     {246, 250, 255},
     {214, 228, 240},
     {90, 120, 150},
     {24, 36, 52},
     37,
     Sky::kClouds,
     false,
     true},
    // Theme 4: a city at night, violet stone under a starry sky.
    {{10, 14, 40},
     {52, 44, 96},
     {40, 36, 70},
     {30, 28, 58},
     {96, 78, 120},
     {70, 56, 94},
     {46, 36, 64},
     {80, 200, 190},
     {50, 150, 150},
     {40, 30, 56},
     {8, 6, 14},
     41,
     Sky::kStars,
     false,
     true},
    // Theme 5: a volcano, black basalt with glowing crust under a red sun.
    {{90, 24, 20},
     {236, 120, 60},
     {70, 30, 28},
     {120, 50, 40},
     {58, 50, 52},
     {34, 30, 32},
     {24, 20, 22},
     {250, 140, 40},
     {210, 80, 20},
     {60, 20, 16},
     {12, 8, 8},
     53,
     Sky::kSun,
     true,
     false},
    // Theme 6: a forest, dark earth strata under moss.
    {{120, 190, 170},
     {214, 240, 210},
     {60, 120, 70},
     {110, 160, 120},
     {112, 80, 52},
     {84, 58, 38},
     {60, 42, 28},
     {60, 140, 50},
     {36, 100, 36},
     {70, 50, 34},
     {24, 18, 12},
     67,
     Sky::kClouds,
     false,
     false},
};

// Distance, in pixels, from each terrain pixel to the nearest free pixel in one direction (0 on
// free pixels). Beyond the picture counts as terrain, so the edges of the stage get no contour.
struct EdgeDistances {
    std::vector<unsigned short> up, down, left, right;
};

EdgeDistances measureEdges(const Level& level) {
    const int w = level.width, h = level.height;
    EdgeDistances e;
    e.up.assign(size_t(w) * h, 0);
    e.down = e.left = e.right = e.up;
    const unsigned short far = 1000;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            if (!level.solid[i]) continue;
            e.up[i] = y == 0 ? far : std::min<int>(far, e.up[i - w] + 1);
            e.left[i] = x == 0 ? far : std::min<int>(far, e.left[i - 1] + 1);
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            const size_t i = size_t(y) * w + x;
            if (!level.solid[i]) continue;
            e.down[i] = y == h - 1 ? far : std::min<int>(far, e.down[i + w] + 1);
            e.right[i] = x == w - 1 ? far : std::min<int>(far, e.right[i + 1] + 1);
        }
    return e;
}

Rgb skyPixel(const Theme& t, int x, int y, int height) {
    Rgb c = kit::mix(t.skyTop, t.skyBottom, double(y) / height);
    if (t.sky == Sky::kStars) {
        if (y < 300 && kit::hashNoise(x, y, t.seed + 6) > 0.9985)
            c = kit::mix(c, kit::kWhite, 0.6 + 0.4 * kit::hashNoise(x, y, t.seed + 7));
    } else if (t.sky == Sky::kSun) {
        // A low sun every few screens.
        const double sx = std::fmod(double(x), 2600.0) - 1300.0, sy = y - 250.0;
        const double d = std::sqrt(sx * sx + sy * sy);
        if (d < 70)
            c = kit::mix(c, {255, 244, 200}, 0.9);
        else if (d < 140)
            c = kit::mix(c, {255, 236, 190}, 0.35 * (140 - d) / 70);
    } else {
        const double cloud = kit::valueNoise(x * 0.5, y * 1.6, 70, t.seed) * 0.65 +
                             kit::valueNoise(x, y * 1.5, 26, t.seed + 1) * 0.35;
        const double fade = std::clamp((250.0 - y) / 90.0, 0.0, 1.0);
        if (cloud > 0.6)
            c = kit::mix(c, kit::kWhite, std::min(1.0, (cloud - 0.6) * 5) * 0.85 * fade);
    }
    // Two ranges of distant hills (mesas in the canyon).
    const double far = t.mesas
                           ? 250 + 70 * std::round(kit::valueNoise(x, 0, 500, t.seed + 2) * 3) / 3
                           : 250 + 80 * kit::valueNoise(x, 0, 420, t.seed + 2);
    const double near = 330 + 60 * kit::valueNoise(x, 0, 260, t.seed + 3) +
                        12 * kit::valueNoise(x, 0, 60, t.seed + 4);
    if (y > near)
        c = kit::mix(t.hill, kit::scale(t.hill, 0.9), kit::valueNoise(x, y, 30, t.seed + 5));
    else if (y > far)
        c = t.hillFar;
    // Below the floor line the free space is a pit: it darkens towards the bottom.
    if (y > 440) c = kit::mix(c, {20, 16, 24}, std::min(0.75, (y - 440) / 40.0));
    return c;
}

Rgb terrainPixel(const Theme& t, int x, int y, size_t i, const EdgeDistances& e) {
    const int toFreeAbove = e.up[i], toFreeBelow = e.down[i];
    const int toFreeSide = std::min(e.left[i], e.right[i]);
    const int nearest = std::min({toFreeAbove, toFreeBelow, toFreeSide});
    if (nearest <= 2) return t.edge;
    const double grain =
        kit::hashNoise(x, y, t.seed + 9) * 0.5 + kit::valueNoise(x, y, 9, t.seed + 10) * 0.5;
    if (toFreeAbove <= 9)
        return kit::mix(t.topSurface, t.topSurfaceDark, grain * (toFreeAbove > 7 ? 1.0 : 0.5));
    if (toFreeBelow <= 6) return kit::mix(t.underside, kit::scale(t.underside, 0.8), grain);
    Rgb base;
    if (t.bricks) {
        // Stone bricks, every other row shifted by half a brick.
        const int row = y / 12, shift = (row % 2) * 14;
        const bool mortar = y % 12 == 0 || (x + shift) % 28 == 0;
        base = mortar ? t.mortar
                      : kit::mix(t.stone, t.stoneDark,
                                 kit::hashNoise((x + shift) / 28, row, t.seed) * 0.8);
    } else {
        // Sandstone strata.
        const double band = kit::valueNoise(x * 0.05, y, 7, t.seed + 11);
        base = kit::mix(t.stone, t.stoneDark, band);
    }
    base = kit::mix(base, kit::scale(base, 0.82), grain * 0.6);
    if (toFreeSide <= 6) base = kit::scale(base, 0.85);
    return base;
}

// Paints decorations through a copy of the region and copies back only the free pixels, so
// decorations never change how the terrain looks at its edges.
template <typename Painter>
void paintOnFreeSpace(BITMAP* picture, const Level& level, int x1, int y1, int w, int h,
                      Painter paint) {
    const BitmapHandle region = kit::newCanvas(w, h, kit::kBlack);
    blit(picture, region.get(), x1, y1, 0, 0, w, h);
    paint(region.get(), x1, y1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x1 + x >= 0 && y1 + y >= 0 && x1 + x < level.width && y1 + y < level.height &&
                !level.isSolid(x1 + x, y1 + y))
                _putpixel32(picture, x1 + x, y1 + y, _getpixel32(region.get(), x, y));
}

void paintFinish(BITMAP* picture, const Level& level) {
    const int finishX = level.finish.x;
    // A chequered banner over the free space of the finish column, with a pole on each side.
    for (int y = 0; y < level.height; ++y)
        for (int x = finishX - 8; x <= finishX + 8; ++x) {
            if (level.isSolid(x, y)) continue;
            const bool light = ((x - finishX + 8) / 8 + y / 8) % 2 == 0;
            kit::putRgb(picture, x, y, light ? Rgb{255, 255, 255} : Rgb{250, 196, 36});
        }
    kit::TextStyle label{"DejaVuSans-Bold.ttf", 22, {250, 250, 250}};
    label.shadow = true;
    label.shadowColour = {30, 20, 20};
    for (int y = 0; y < level.height; ++y)
        if (!level.isSolid(finishX, y) && !level.isSolid(finishX, y + 40) && y > 60 && y < 300) {
            paintOnFreeSpace(
                picture, level, finishX - 80, y, 160, 40, [&](BITMAP* region, int ox, int oy) {
                    kit::fillRoundedRect(region, finishX - 70 - ox, y - oy, finishX + 70 - ox,
                                         y + 34 - oy, 8, {200, 40, 40});
                    kit::drawText(region, "CHEGADA", finishX - ox, y + 25 - oy, label,
                                  kit::Align::Center);
                });
            break;
        }
}

// A sign whose text starts with "^ " or "v " gets an arrow pointing up or down in front of the
// words.
void paintSigns(BITMAP* picture, const Level& level) {
    kit::TextStyle text{"DejaVuSans-Bold.ttf", 20, {40, 30, 20}};
    for (const LevelSign& sign : level.signs) {
        int arrow = 0;
        std::string words = sign.text;
        if (words.rfind("^ ", 0) == 0) arrow = -1;
        if (words.rfind("v ", 0) == 0) arrow = 1;
        if (arrow != 0) words = words.substr(2);
        const int arrowWidth = arrow != 0 ? 22 : 0;
        const int w = kit::textWidth(words, text) + 24 + arrowWidth;
        const int left = sign.x - w / 2;
        paintOnFreeSpace(
            picture, level, left - 4, sign.y - 4, w + 12, 44, [&](BITMAP* region, int ox, int oy) {
                const int x = left - ox, y = sign.y - oy;
                kit::fillRoundedRect(region, x + 3, y + 3, x + w + 3, y + 35, 8, {40, 30, 20}, true,
                                     0.35);
                kit::fillRoundedRect(region, x, y, x + w, y + 32, 8, {252, 224, 96});
                kit::strokeRoundedRect(region, x, y, x + w, y + 32, 8, 2, {40, 30, 20});
                if (arrow != 0) {
                    const double ax = x + 20, tip = y + 16 + arrow * 10, tail = y + 16 - arrow * 10;
                    const kit::Rgb red{200, 40, 36};
                    kit::fillCapsule(region, ax, tail, ax, tip, 2.2, red);
                    kit::fillCapsule(region, ax, tip, ax - 6, tip - arrow * 6, 2.2, red);
                    kit::fillCapsule(region, ax, tip, ax + 6, tip - arrow * 6, 2.2, red);
                }
                kit::drawText(region, words, x + arrowWidth + (w - arrowWidth) / 2, y + 23, text,
                              kit::Align::Center);
            });
    }
}

}  // namespace

BitmapHandle paintStagePicture(Level level) {
    if (level.solid.size() != size_t(level.width) * level.height) paintTerrain(level);
    const Theme& theme = kThemes[level.theme - 1];
    BitmapHandle picture = kit::newCanvas(level.width, level.height, kit::kWhite);
    const EdgeDistances edges = measureEdges(level);
    for (int y = 0; y < level.height; ++y) {
        for (int x = 0; x < level.width; ++x) {
            const size_t i = size_t(y) * level.width + x;
            if (level.solid[i]) {
                _putpixel32(picture.get(), x, y,
                            kit::toAllegro(terrainPixel(theme, x, y, i, edges)));
            } else {
                _putpixel32(picture.get(), x, y,
                            kit::toAllegro(skyPixel(theme, x, y, level.height)));
            }
        }
    }
    paintSigns(picture.get(), level);
    paintFinish(picture.get(), level);
    return picture;
}
