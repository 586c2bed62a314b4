// Runner: the character of one player (1 to 6).
//
// Pushed forward by the race frame, it falls under its own gravity, lands on terrain and on other
// runners (it can ride on another runner's head), is stopped by walls and by other runners, and
// passes through speed markers and the finish line, which finishes it (hasFinished()). Its only
// control is the flip: flipGravity() reverses gravity, and only while the runner is grounded.
//
// Bitmaps, by instruction name (id = the runner's id): "bitmapBase<id>" the sprite sheet,
// "bitmap<id>" the current animation frame (created here, 42 x 47 in a stage), "bitmapTecla<id>"
// the picture of the player's key drawn above it. Construction records, in order: the sheet's
// load, the key picture's load, the frame's creation, and the blit of the first frame.
// Destruction records the destroys of the sheet, the key picture and the frame.
//
// Sheet layout (w = width, h = height): grounded row at y 0 with 5 frames at x = k * w, airborne
// row at y h + 2 with 4 frames; every frame w x h.
#pragma once

#include <string>

#include "world/objeto.h"

class Runner : public Objeto {
  public:
    // `playerNumber` must be 1 to 6 (std::out_of_range otherwise).
    Runner(const std::string& spritePath, int width, int height, bool noGravity, int playerNumber,
           int x, int y);
    ~Runner() override;

    // Vertical hits ground it and stop its vertical speed; terrain and other runners block it;
    // the finish line marks it finished; everything else lets it through.
    void onCollision(int direction, const Hit& hit, int newX, int newY) override;
    // The running animation: the row follows `grounded`, the pace follows speedX.
    void update() override;
    // Speed markers and the finish line; never into terrain or another runner behind them.
    bool passesThrough(const Objeto& other) const override;
    ObjectKind kind() const override { return ObjectKind::kRunner; }

    // The flip: negates gravity as one atomic change if the runner is grounded; returns whether
    // it flipped. Safe from any thread (key timer, remote calls, tools).
    bool flipGravity();

    // Objeto's motion state and the running animation's: its frame, its clock and the gravity the
    // last race frame saw. Hides Objeto's pair, so that a runner is saved and restored whole.
    struct MotionState {
        Objeto::MotionState body;
        int frameCounter = 0;
        bool lastGrounded = false;
        bool firstFrame = true;
        int64_t frameClock = 0;
        int64_t frameElapsed = 0;
        int gravityLastFrame = 1;

        // The animation's fields, in the order of Runner::animation.
        auto animationFields() {
            return std::tie(frameCounter, lastGrounded, firstFrame, frameClock, frameElapsed,
                            gravityLastFrame);
        }
        auto animationFields() const { return const_cast<MotionState*>(this)->animationFields(); }
        bool operator==(const MotionState& other) const {
            return body == other.body && animationFields() == other.animationFields();
        }
        bool operator!=(const MotionState& other) const { return !(*this == other); }
    };
    MotionState motionState() const;
    void restoreMotion(const MotionState& state);

    std::string baseName() const;  // "bitmapBase<id>"
    std::string keyName() const;   // "bitmapTecla<id>"

    int playerNumber() const { return playerNumber_; }
    BITMAP* spriteSheet() const { return spriteSheet_.get(); }
    // The picture of the player's key (or pad) drawn above it; loaded in local play only.
    BITMAP* keyImage() const { return keyImage_.get(); }
    // The running animation's frame count.
    int frameCounter() const { return frameCounter_; }
    // Whether its pollKey timer is installed (local play).
    bool keyPollRunning() const { return keyPollRunning_; }

    // For the race frame: whether gravity changed since the last call (a flip, which is heard);
    // notes the gravity it has now.
    bool takeFlip();

  private:
    // The animation's fields, in the order of MotionState::animationFields.
    template <class Self>
    static auto animation(Self& self) {
        return std::tie(self.frameCounter_, self.lastGrounded_, self.firstFrame_, self.frameClock_,
                        self.frameElapsed_, self.gravityLastFrame_);
    }

    void showFrame(int sourceX, int sourceY);

    // The key poll installs and removes its timer and keeps keyPollRunning_ (flip_keys.h).
    friend void startKeyPoll(Runner* runner);
    friend void stopKeyPoll(Runner* runner);

    const int playerNumber_;
    BitmapHandle spriteSheet_;
    BitmapHandle keyImage_;
    int frameCounter_ = 0;
    bool lastGrounded_ = false;
    int64_t frameClock_ = 0;
    int64_t frameElapsed_ = 0;
    bool firstFrame_ = true;
    bool keyPollRunning_ = false;
    int gravityLastFrame_ = 1;  // the gravity the last race frame saw
};
