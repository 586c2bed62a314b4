#include "world/paint_kit.h"

#include <ft2build.h>
#include <jpgalleg.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

namespace kit {

namespace {

int clampByte(int v) { return std::clamp(v, 0, 255); }

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    return {clampByte(int(std::lround(a.r + (b.r - a.r) * t))),
            clampByte(int(std::lround(a.g + (b.g - a.g) * t))),
            clampByte(int(std::lround(a.b + (b.b - a.b) * t)))};
}

Rgb scale(Rgb c, double factor) {
    return {clampByte(int(std::lround(c.r * factor))), clampByte(int(std::lround(c.g * factor))),
            clampByte(int(std::lround(c.b * factor)))};
}

int toAllegro(Rgb c) { return makecol32(c.r, c.g, c.b); }

Rgb pixelAt(BITMAP* bmp, int x, int y) {
    const int p = _getpixel32(bmp, x, y);
    return {getr32(p), getg32(p), getb32(p)};
}

BitmapHandle newCanvas(int w, int h, Rgb fill) {
    BitmapHandle bmp(create_bitmap_ex(32, w, h));
    if (!bmp) throw BitmapCreationError(w, h);
    clear_to_color(bmp.get(), toAllegro(fill));
    return bmp;
}

void putRgb(BITMAP* bmp, int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= bmp->w || y >= bmp->h) return;
    _putpixel32(bmp, x, y, toAllegro(c));
}

void blendPixel(BITMAP* bmp, int x, int y, Rgb c, double alpha) {
    if (x < 0 || y < 0 || x >= bmp->w || y >= bmp->h || alpha <= 0.0) return;
    if (alpha >= 1.0) {
        _putpixel32(bmp, x, y, toAllegro(c));
        return;
    }
    _putpixel32(bmp, x, y, toAllegro(mix(pixelAt(bmp, x, y), c, alpha)));
}

void fillRect(BITMAP* bmp, int x1, int y1, int x2, int y2, Rgb c, double alpha) {
    for (int y = std::max(0, y1); y <= std::min(bmp->h - 1, y2); ++y)
        for (int x = std::max(0, x1); x <= std::min(bmp->w - 1, x2); ++x)
            blendPixel(bmp, x, y, c, alpha);
}

void verticalGradient(BITMAP* bmp, int x1, int y1, int x2, int y2, Rgb top, Rgb bottom) {
    const int span = std::max(1, y2 - y1);
    for (int y = y1; y <= y2; ++y)
        fillRect(bmp, x1, y, x2, y, mix(top, bottom, double(y - y1) / span));
}

void fillShape(BITMAP* bmp, const Distance& d, int x1, int y1, int x2, int y2, Rgb c,
               bool antialias, double alpha) {
    for (int y = std::max(0, y1); y <= std::min(bmp->h - 1, y2); ++y) {
        for (int x = std::max(0, x1); x <= std::min(bmp->w - 1, x2); ++x) {
            const double dist = d(x + 0.5, y + 0.5);
            if (antialias) {
                const double coverage = std::clamp(0.5 - dist, 0.0, 1.0);
                if (coverage > 0.0) blendPixel(bmp, x, y, c, coverage * alpha);
            } else if (dist <= 0.0) {
                blendPixel(bmp, x, y, c, alpha);
            }
        }
    }
}

double circleDistance(double px, double py, double cx, double cy, double r) {
    return std::hypot(px - cx, py - cy) - r;
}

double capsuleDistance(double px, double py, double ax, double ay, double bx, double by, double r) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy)) - r;
}

double roundedBoxDistance(double px, double py, double x1, double y1, double x2, double y2,
                          double radius) {
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double hx = (x2 - x1) / 2 - radius, hy = (y2 - y1) / 2 - radius;
    const double qx = std::abs(px - cx) - hx, qy = std::abs(py - cy) - hy;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
           radius;
}

void fillCircle(BITMAP* bmp, double cx, double cy, double r, Rgb c, bool antialias, double alpha) {
    fillShape(
        bmp, [=](double px, double py) { return circleDistance(px, py, cx, cy, r); },
        int(cx - r - 2), int(cy - r - 2), int(cx + r + 2), int(cy + r + 2), c, antialias, alpha);
}

void fillCapsule(BITMAP* bmp, double ax, double ay, double bx, double by, double r, Rgb c,
                 bool antialias, double alpha) {
    fillShape(
        bmp, [=](double px, double py) { return capsuleDistance(px, py, ax, ay, bx, by, r); },
        int(std::min(ax, bx) - r - 2), int(std::min(ay, by) - r - 2), int(std::max(ax, bx) + r + 2),
        int(std::max(ay, by) + r + 2), c, antialias, alpha);
}

void fillRoundedRect(BITMAP* bmp, double x1, double y1, double x2, double y2, double radius, Rgb c,
                     bool antialias, double alpha) {
    fillShape(
        bmp,
        [=](double px, double py) { return roundedBoxDistance(px, py, x1, y1, x2, y2, radius); },
        int(x1 - 2), int(y1 - 2), int(x2 + 2), int(y2 + 2), c, antialias, alpha);
}

void strokeRoundedRect(BITMAP* bmp, double x1, double y1, double x2, double y2, double radius,
                       double thickness, Rgb c, double alpha) {
    fillShape(
        bmp,
        [=](double px, double py) {
            const double outer = roundedBoxDistance(px, py, x1, y1, x2, y2, radius);
            const double inner =
                roundedBoxDistance(px, py, x1 + thickness, y1 + thickness, x2 - thickness,
                                   y2 - thickness, std::max(0.0, radius - thickness));
            return std::max(outer, -inner);
        },
        int(x1 - 2), int(y1 - 2), int(x2 + 2), int(y2 + 2), c, true, alpha);
}

double hashNoise(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double valueNoise(double x, double y, double cell, int seed) {
    const double gx = x / cell, gy = y / cell;
    const int ix = int(std::floor(gx)), iy = int(std::floor(gy));
    double fx = gx - ix, fy = gy - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const double a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    const double c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

// ---- text ----

namespace {

struct LibraryRelease {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceRelease {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryRelease>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceRelease>;

// The faces come after the library: they go first, at closeText and at exit alike.
LibraryHandle g_library;
std::string g_fontDir;
std::map<std::string, FaceHandle> g_faces;
std::string g_missingFont;

// The face of the style's font, or null (said once on standard error) when it cannot be opened.
FT_Face faceFor(const TextStyle& style) {
    auto found = g_faces.find(style.fontFile);
    FT_Face face = nullptr;
    if (found != g_faces.end()) {
        face = found->second.get();
    } else {
        const std::string path = g_fontDir + "/" + style.fontFile;
        if (!g_library || FT_New_Face(g_library.get(), path.c_str(), 0, &face) != 0) {
            if (g_missingFont.empty())
                std::fprintf(stderr, "fonte nao encontrada: %s\n", path.c_str());
            g_missingFont = path;
            return nullptr;
        }
        g_faces[style.fontFile] = FaceHandle(face);
    }
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(style.pixelSize));
    return face;
}

// Walks the glyphs of the text; draw receives each rendered glyph and its pen position.
template <typename Visit>
int layOut(const std::string& text, const TextStyle& style, Visit visit) {
    FT_Face face = faceFor(style);
    if (!face) return 0;
    int pen = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, ch);
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector delta;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &delta);
            pen += int(delta.x >> 6);
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) continue;
        visit(face->glyph, pen);
        pen += int(face->glyph->advance.x >> 6);
        previous = index;
    }
    return pen;
}

void drawGlyphs(BITMAP* bmp, const std::string& text, int left, int baseline,
                const TextStyle& style, Rgb colour) {
    layOut(text, style, [&](FT_GlyphSlot glyph, int pen) {
        const FT_Bitmap& g = glyph->bitmap;
        for (unsigned row = 0; row < g.rows; ++row) {
            for (unsigned col = 0; col < g.width; ++col) {
                double a = g.buffer[row * g.pitch + col] / 255.0;
                if (style.hardEdges) a = a >= 0.5 ? 1.0 : 0.0;
                blendPixel(bmp, left + pen + glyph->bitmap_left + int(col),
                           baseline - glyph->bitmap_top + int(row), colour, a);
            }
        }
    });
}

}  // namespace

bool initText(const std::string& fontDir) {
    closeText();
    g_fontDir = fontDir;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "FreeType nao iniciou\n");
        return false;
    }
    g_library.reset(library);
    return true;
}

void closeText() {
    g_faces.clear();
    g_library.reset();
    g_missingFont.clear();
}

const std::string& missingFont() { return g_missingFont; }

int textWidth(const std::string& text, const TextStyle& style) {
    return layOut(text, style, [](FT_GlyphSlot, int) {});
}

void drawText(BITMAP* bmp, const std::string& text, int x, int baseline, const TextStyle& style,
              Align align) {
    const int width = textWidth(text, style);
    int left = x;
    if (align == Align::Center) left = x - width / 2;
    if (align == Align::Right) left = x - width;
    if (style.shadow)
        drawGlyphs(bmp, text, left + style.shadowOffset, baseline + style.shadowOffset, style,
                   style.shadowColour);
    drawGlyphs(bmp, text, left, baseline, style, style.colour);
}

int fitSize(const std::string& text, TextStyle style, int maxWidth) {
    while (style.pixelSize > 6 && textWidth(text, style) > maxWidth) --style.pixelSize;
    return style.pixelSize;
}

bool saveBmp(BITMAP* bmp, const std::string& path) {
    if (save_bitmap(path.c_str(), bmp, nullptr) != 0) {
        std::fprintf(stderr, "nao foi possivel gravar %s\n", path.c_str());
        return false;
    }
    return true;
}

bool saveJpg(BITMAP* bmp, const std::string& path) {
    // High quality and no chroma subsampling: item pictures must meet their background without a
    // seam. No JPG_OPTIMIZE: JPGalleg leaks its optimised Huffman tables on every save, which fails
    // the generator under the leak checker of the sanitizer builds.
    if (save_jpg_ex(path.c_str(), bmp, nullptr, 95, JPG_SAMPLING_444, nullptr) != 0) {
        std::fprintf(stderr, "nao foi possivel gravar %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace kit
