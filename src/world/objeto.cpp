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

// Process-wide: the ids name the objects' bitmaps in the process's one drawing record, so they keep
// rising across every stage and match it draws, as peers and recordings have always seen them.
std::atomic<int> objectCounter{0};

// Gravity accelerates at most once per call, and only after this many whole milliseconds.
constexpr int64_t kGravityIntervalMs = 30;
constexpr double kGravityStep = 1.8;

}  // namespace

int terrainColour() { return makecol(0, 0, 0); }
int freeColour() { return makecol(255, 255, 255); }
int nextObjectId() { return objectCounter.load(); }

Objeto::Objeto(const std::string& imagePath, int width, int height, bool noGravity, int x, int y)
    : x_(x), y_(y), width_(width), height_(height), noGravity_(noGravity), id_(objectCounter++) {
    if (!imagePath.empty()) image_ = recordedLoadBitmap(bitmapName(), imagePath);
}

Objeto::~Objeto() { recordedDestroyBitmap(bitmapName(), std::move(image_)); }

bool Objeto::isSolid(int colour) const { return colour != freeColour(); }

void Objeto::onCollision(int, const Hit&, int, int) {}

void Objeto::update() {}

bool Objeto::passesThrough(const Objeto&) const { return false; }

bool Objeto::coversTerrain() const { return true; }

ObjectKind Objeto::kind() const { return ObjectKind::kPlain; }

std::string Objeto::bitmapName() const { return "bitmap" + std::to_string(id_); }

Objeto::MotionState Objeto::motionState() const {
    MotionState state;
    state.plainFields() = plainMotion(*this);
    state.gravity = gravity_.load();
    state.grounded = grounded_.load();
    return state;
}

void Objeto::restoreMotion(const MotionState& state) {
    plainMotion(*this) = state.plainFields();
    gravity_.store(state.gravity);
    grounded_.store(state.grounded);
}

void Objeto::draw(Mapa& map) {
    const int top = y_ - height_;
    if (gravity_.load() < 0 && grounded_.load()) {
        recordedDrawSpriteVFlip(map.buffer(), kStageBufferName, image_.get(), bitmapName(), x_,
                                top);
    } else {
        recordedDrawSprite(map.buffer(), kStageBufferName, image_.get(), bitmapName(), x_, top);
    }
    if (map.collisionWork()) paintBox(map.collisionWork(), top);
}

void Objeto::paintBox(BITMAP* work) const { paintBox(work, y_ - height_); }

void Objeto::paintBox(BITMAP* work, int top) const {
    if (coversTerrain()) {
        rectfill(work, x_, top, x_ + width_, y_, identityColour_);
        return;
    }
    const int terrain = terrainColour();
    for (int row = std::max(top, 0); row <= y_ && row < work->h; ++row) {
        for (int column = std::max(x_, 0); column <= x_ + width_ && column < work->w; ++column) {
            if (getpixel(work, column, row) != terrain)
                putpixel(work, column, row, identityColour_);
        }
    }
}

void Objeto::move(const CollisionContext& world) {
    if (!noGravity_) applyGravity();
    // The counts are taken first: a speed changed by a collision acts from the next frame on.
    if (speedX_ != 0.0) {
        const int steps = static_cast<int>(std::trunc(speedX_));
        const int direction = steps < 0 ? kLeft : kRight;
        for (int i = 0; i < std::abs(steps); ++i) {
            if (!step(direction, world)) break;
        }
    }
    if (speedY_ != 0.0) {
        const int steps = static_cast<int>(std::trunc(speedY_));
        const int direction = steps < 0 ? kUp : kDown;
        for (int i = 0; i < std::abs(steps); ++i) {
            if (!step(direction, world)) break;
        }
    }
}

void Objeto::applyGravity() {
    const int64_t now = clockMs();
    if (gravityFirst_) {
        gravityFirst_ = false;
        gravityClock_ = now;
        return;
    }
    gravityElapsed_ = now - gravityClock_;
    if (gravityElapsed_ > kGravityIntervalMs) {
        speedY_ += gravity_.load() * kGravityStep;
        gravityElapsed_ = 0;
        gravityClock_ = now;
    }
}

bool Objeto::step(int direction, const CollisionContext& world) {
    grounded_.store(false);
    const int x = x_, y = y_, width = width_, height = height_;
    int newX = x, newY = y;
    Hit hit;
    switch (direction) {
        case kUp:
            newY = y - 1;
            hit = scanLine(x, y - 1 - height, x + width, y - 1 - height, world);
            break;
        case kRight:
            newX = x + 1;
            hit = scanLine(x + width + 1, y - height, x + width + 1, y, world);
            break;
        case kDown:
            newY = y + 1;
            hit = scanLine(x, y + 1, x + width, y + 1, world);
            break;
        case kLeft:
            newX = x - 1;
            hit = scanLine(x - 1, y - height, x - 1, y, world);
            break;
        default:
            return true;
    }
    if (hit.kind == Hit::kNothing) {
        moveTo(newX, newY);
        return true;
    }
    onCollision(direction, hit, newX, newY);
    return x_ == newX && y_ == newY;
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

Hit Objeto::scanLine(int x1, int y1, int x2, int y2, const CollisionContext& world) const {
    BITMAP* bitmap = world.bitmap;
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
        Objeto* object = world.objectPainted(colour);
        if (!object) return passed.kind == Hit::kNothing ? none : passed;
        if (!passesThrough(*object)) return Hit::of(object);
        if (passed.kind == Hit::kNothing) passed = Hit::of(object);
    }
    return passed;
}

void Objeto::negateGravity() {
    int current = gravity_.load();
    while (!gravity_.compare_exchange_weak(current, -current)) {
    }
}
