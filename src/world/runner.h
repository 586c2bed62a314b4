// Runner: the character of one player (1 to 6).
//
// Pushed forward by the race frame, it falls under its own gravity, lands on terrain and on other
// runners (it can ride on another runner's head), is stopped by walls and by other runners, and
// passes through speed markers and the finish line, which marks it `finished`. Its only control is
// the flip: flipGravity() reverses gravity, and only while the runner is grounded.
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

    const int playerNumber;
    BitmapHandle spriteSheet;
    BitmapHandle keyImage;
    int frameCounter = 0;
    bool lastGrounded = false;
    int64_t frameClock = 0;
    int64_t frameElapsed = 0;
    bool firstFrame = true;
    bool keyPollRunning = false;  // its pollKey timer is installed (local play)
    int gravityLastFrame = 1;     // the gravity the last race frame saw (a change is a flip)

  private:
    // The animation's fields, in the order of MotionState::animationFields.
    template <class Self>
    static auto animation(Self& self) {
        return std::tie(self.frameCounter, self.lastGrounded, self.firstFrame, self.frameClock,
                        self.frameElapsed, self.gravityLastFrame);
    }

    void showFrame(int sourceX, int sourceY);
};
