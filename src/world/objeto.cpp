#include "world/objeto.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/clock.h"
#include "stream/recorded_drawing.h"
#include "world/collision_context.h"
#include "world/mapa.h"
#include "world/stage_images.h"

namespace {

std::atomic<int> objectCounter{0};

// Gravity accelerates at most once per call, and only after this many whole milliseconds.
constexpr int64_t kGravityIntervalMs = 30;
constexpr double kGravityStep = 1.8;

}  // namespace

int terrainColour() { return makecol(0, 0, 0); }
int freeColour() { return makecol(255, 255, 255); }
int nextObjectId() { return objectCounter.load(); }

Objeto::Objeto(const std::string& imagePath, int width, int height, bool noGravity, int x, int y)
    : x(x), y(y), width(width), height(height), noGravity(noGravity), id(objectCounter++) {
    if (!imagePath.empty()) image = recordedLoadBitmap(bitmapName(), imagePath);
}

Objeto::~Objeto() { recordedDestroyBitmap(bitmapName(), std::move(image)); }

bool Objeto::isSolid(int colour) const { return colour != freeColour(); }

void Objeto::onCollision(int, const Hit&, int, int) {}

void Objeto::update() {}

bool Objeto::passesThrough(const Objeto&) const { return false; }

bool Objeto::coversTerrain() const { return true; }

std::string Objeto::bitmapName() const { return "bitmap" + std::to_string(id); }

Objeto::MotionState Objeto::motionState() const {
    MotionState state;
    state.plainFields() = plainMotion(*this);
    state.gravity = gravity.load();
    state.grounded = grounded.load();
    return state;
}

void Objeto::restoreMotion(const MotionState& state) {
    plainMotion(*this) = state.plainFields();
    gravity.store(state.gravity);
    grounded.store(state.grounded);
}

void Objeto::draw(Mapa& map) {
    const int top = y - height;
    if (gravity.load() < 0 && grounded.load()) {
        recordedDrawSpriteVFlip(map.buffer.get(), kStageBufferName, image.get(), bitmapName(), x,
                                top);
    } else {
        recordedDrawSprite(map.buffer.get(), kStageBufferName, image.get(), bitmapName(), x, top);
    }
    if (map.collisionWork) paintBox(map.collisionWork.get(), top);
}

void Objeto::paintBox(BITMAP* work) const { paintBox(work, y - height); }

void Objeto::paintBox(BITMAP* work, int top) const {
    if (coversTerrain()) {
        rectfill(work, x, top, x + width, y, idColor);
        return;
    }
    const int terrain = terrainColour();
    for (int row = std::max(top, 0); row <= y && row < work->h; ++row) {
        for (int column = std::max(x, 0); column <= x + width && column < work->w; ++column) {
            if (getpixel(work, column, row) != terrain) putpixel(work, column, row, idColor);
        }
    }
}

void Objeto::move() {
    if (!noGravity) applyGravity();
    // The counts are taken first: a speed changed by a collision acts from the next frame on.
    if (speedX != 0.0) {
        const int steps = static_cast<int>(std::trunc(speedX));
        const int direction = steps < 0 ? kLeft : kRight;
        for (int i = 0; i < std::abs(steps); ++i) {
            if (!step(direction)) break;
        }
    }
    if (speedY != 0.0) {
        const int steps = static_cast<int>(std::trunc(speedY));
        const int direction = steps < 0 ? kUp : kDown;
        for (int i = 0; i < std::abs(steps); ++i) {
            if (!step(direction)) break;
        }
    }
}

void Objeto::applyGravity() {
    const int64_t now = clockMs();
    if (gravityFirst) {
        gravityFirst = false;
        gravityClock = now;
        return;
    }
    gravityElapsed = now - gravityClock;
    if (gravityElapsed > kGravityIntervalMs) {
        speedY += gravity.load() * kGravityStep;
        gravityElapsed = 0;
        gravityClock = now;
    }
}

bool Objeto::step(int direction) {
    grounded.store(false);
    int newX = x, newY = y;
    Hit hit;
    switch (direction) {
        case kUp:
            newY = y - 1;
            hit = scanLine(x, y - 1 - height, x + width, y - 1 - height);
            break;
        case kRight:
            newX = x + 1;
            hit = scanLine(x + width + 1, y - height, x + width + 1, y);
            break;
        case kDown:
            newY = y + 1;
            hit = scanLine(x, y + 1, x + width, y + 1);
            break;
        case kLeft:
            newX = x - 1;
            hit = scanLine(x - 1, y - height, x - 1, y);
            break;
        default:
            return true;
    }
    if (hit.kind == Hit::kNothing) {
        x = newX;
        y = newY;
        return true;
    }
    onCollision(direction, hit, newX, newY);
    return x == newX && y == newY;
}

namespace {

// getpixel, with a direct read for the 32-bit memory bitmaps the game probes.
int collisionPixel(BITMAP* bitmap, int x, int y) {
    if (x < 0 || y < 0 || x >= bitmap->w || y >= bitmap->h) return -1;  // as getpixel outside
    if (bitmap_color_depth(bitmap) == 32 && is_memory_bitmap(bitmap)) {
        return static_cast<int>(reinterpret_cast<const uint32_t*>(bitmap->line[y])[x]);
    }
    return getpixel(bitmap, x, y);
}

}  // namespace

Hit Objeto::scanLine(int x1, int y1, int x2, int y2) const {
    BITMAP* bitmap = collisionContext.bitmap;
    if (!bitmap) return Hit::nothing();
    const bool horizontal = y1 == y2;
    const int first = horizontal ? x1 : y1;
    const int last = horizontal ? x2 : y2;
    const int white = freeColour();
    const Hit none = Hit::nothing();
    Hit passed = none;
    for (int i = first; i <= last; ++i) {
        // Outside the bitmap the colour is -1: not white, not black, nobody's colour.
        const int colour =
            horizontal ? collisionPixel(bitmap, i, y1) : collisionPixel(bitmap, x1, i);
        // White is free space for every kind of object, so it needs no isSolid call.
        if (colour == white || !isSolid(colour)) continue;
        // The stopping pixel decides, even when it hides terrain further along the line.
        if (colour == terrainColour()) return Hit::terrain();
        Objeto* object = lookupObject(colour);
        if (!object) return passed.kind == Hit::kNothing ? none : passed;
        if (!passesThrough(*object)) return Hit::of(object);
        if (passed.kind == Hit::kNothing) passed = Hit::of(object);
    }
    return passed;
}

void Objeto::negateGravity() {
    int current = gravity.load();
    while (!gravity.compare_exchange_weak(current, -current)) {
    }
}
