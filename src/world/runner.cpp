#include "world/runner.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/clock.h"
#include "platform/image_file.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/recorded_drawing.h"
#include "world/flip_keys.h"

namespace {

constexpr int kGroundedFrames = 5;
constexpr int kAirborneFrames = 4;

int checkedPlayerNumber(int playerNumber) {
    flipKeysOf(playerNumber);  // throws for a number without keys
    return playerNumber;
}

}  // namespace

Runner::Runner(const std::string& spritePath, int width, int height, bool noGravity,
               int playerNumber, int x, int y)
    : Objeto(std::string(), width, height, noGravity, x, y),
      playerNumber_(checkedPlayerNumber(playerNumber)) {
    const FlipKeys& keys = flipKeysOf(playerNumber);
    spriteSheet_ = recordedLoadBitmap(baseName(), spritePath);
    // The key picture differs between the local load and the record (see flip_keys.h).
    if (drawsLocally()) keyImage_ = loadImageOrReport(keys.localImage);
    GravadorTela::instance().addInstruction(formatLoadBitmap(keyName(), keys.recordedImage));
    setImage(recordedCreateBitmap(bitmapName(), width, height));
    // Without a sprite sheet the frame stays invisible rather than showing uninitialised memory.
    if (image()) clear_to_color(image(), bitmap_mask_color(image()));
    lastGrounded_ = isGrounded();
    update();
}

Runner::~Runner() {
    recordedDestroyBitmap(baseName(), std::move(spriteSheet_));
    recordedDestroyBitmap(keyName(), std::move(keyImage_));
}

Runner::MotionState Runner::motionState() const {
    MotionState state;
    state.body = Objeto::motionState();
    state.animationFields() = animation(*this);
    return state;
}

void Runner::restoreMotion(const MotionState& state) {
    Objeto::restoreMotion(state.body);
    animation(*this) = state.animationFields();
}

std::string Runner::baseName() const { return "bitmapBase" + std::to_string(id()); }
std::string Runner::keyName() const { return "bitmapTecla" + std::to_string(id()); }

void Runner::onCollision(int direction, const Hit& hit, int newX, int newY) {
    if (direction == kUp || direction == kDown) land();
    if (hit.kind != Hit::kObject) return;  // terrain blocks
    const ObjectKind what = hit.object->kind();
    if (what == ObjectKind::kFinishLine) finish();
    if (what == ObjectKind::kRunner) return;  // another runner blocks
    moveTo(newX, newY);
}

bool Runner::passesThrough(const Objeto& other) const {
    const ObjectKind what = other.kind();
    return what == ObjectKind::kSpeedMarker || what == ObjectKind::kFinishLine;
}

void Runner::update() {
    const int64_t now = clockMs();
    const bool grounded = isGrounded();
    if (firstFrame_) {
        firstFrame_ = false;
        frameClock_ = now;
        showFrame(0, grounded ? 0 : height() + 2);
        return;
    }
    if (grounded == lastGrounded_) {
        frameElapsed_ = now - frameClock_;
        const double thresholdMs = 40.0 / (std::fabs(speedX() / 10.0) + 0.1);
        if (!(frameElapsed_ > thresholdMs)) return;
    }
    ++frameCounter_;
    frameElapsed_ = 0;
    frameClock_ = now;
    lastGrounded_ = grounded;
    if (grounded) {
        showFrame((frameCounter_ % kGroundedFrames) * width(), 0);
    } else {
        showFrame((frameCounter_ % kAirborneFrames) * width(), height() + 2);
    }
}

bool Runner::flipGravity() {
    if (!isGrounded()) return false;
    negateGravity();
    return true;
}

bool Runner::takeFlip() {
    const int now = gravity();
    if (now == gravityLastFrame_) return false;
    gravityLastFrame_ = now;
    return true;
}

void Runner::showFrame(int sourceX, int sourceY) {
    recordedBlit(spriteSheet_.get(), baseName(), image(), bitmapName(), sourceX, sourceY, 0, 0,
                 width(), height());
}
