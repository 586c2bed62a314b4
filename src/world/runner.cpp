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
#include "world/object_kinds.h"

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
      playerNumber(checkedPlayerNumber(playerNumber)) {
    firstFrame = true;
    frameElapsed = 0;
    const FlipKeys& keys = flipKeysOf(playerNumber);
    spriteSheet = recordedLoadBitmap(baseName(), spritePath);
    // The key picture differs between the local load and the record (see flip_keys.h).
    if (drawsLocally()) keyImage = loadImageOrReport(keys.localImage);
    GravadorTela::instance().addInstruction(formatLoadBitmap(keyName(), keys.recordedImage));
    image = recordedCreateBitmap(bitmapName(), width, height);
    // Without a sprite sheet the frame stays invisible rather than showing uninitialised memory.
    if (image) clear_to_color(image.get(), bitmap_mask_color(image.get()));
    frameCounter = 0;
    lastGrounded = grounded.load();
    update();
}

Runner::~Runner() {
    recordedDestroyBitmap(baseName(), std::move(spriteSheet));
    recordedDestroyBitmap(keyName(), std::move(keyImage));
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

std::string Runner::baseName() const { return "bitmapBase" + std::to_string(id); }
std::string Runner::keyName() const { return "bitmapTecla" + std::to_string(id); }

void Runner::onCollision(int direction, const Hit& hit, int newX, int newY) {
    if (direction == kUp || direction == kDown) {
        grounded.store(true);
        speedY = 0.0;
    }
    if (hit.kind != Hit::kObject) return;  // terrain blocks
    if (hit.object->kind == kFinishLineKind) finished = true;
    if (hit.object->kind == kRunnerKind) return;  // another runner blocks
    x = newX;
    y = newY;
}

bool Runner::passesThrough(const Objeto& other) const {
    return other.kind == kSpeedMarkerKind || other.kind == kFinishLineKind;
}

void Runner::update() {
    const int64_t now = clockMs();
    const bool isGrounded = grounded.load();
    if (firstFrame) {
        firstFrame = false;
        frameClock = now;
        showFrame(0, isGrounded ? 0 : height + 2);
        return;
    }
    if (isGrounded == lastGrounded) {
        frameElapsed = now - frameClock;
        const double thresholdMs = 40.0 / (std::fabs(speedX / 10.0) + 0.1);
        if (!(frameElapsed > thresholdMs)) return;
    }
    ++frameCounter;
    frameElapsed = 0;
    frameClock = now;
    lastGrounded = isGrounded;
    if (isGrounded) {
        showFrame((frameCounter % kGroundedFrames) * width, 0);
    } else {
        showFrame((frameCounter % kAirborneFrames) * width, height + 2);
    }
}

bool Runner::flipGravity() {
    if (!grounded.load()) return false;
    negateGravity();
    return true;
}

void Runner::showFrame(int sourceX, int sourceY) {
    recordedBlit(spriteSheet.get(), baseName(), image.get(), bitmapName(), sourceX, sourceY, 0, 0,
                 width, height);
}
