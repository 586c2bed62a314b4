// Which pads are plugged in, whose each one is, and which of their buttons are held: the state
// behind platform/gamepads.h, free of the library that reads the pads (and of locking: its owner
// locks).
//
// A pad is known by the device id the library gives it and numbered 1 to kMaxPlayers (the lowest
// free number when it is plugged in). Buttons are the game controller buttons of the library, by
// their index (PadButton below follows its order).
#pragma once

#include <array>
#include <cstdint>

#include "platform/input.h"
#include "platform/player_limits.h"

// The game controller buttons the game reads, by the library's index.
enum class PadButton {
    A = 0,
    B = 1,
    X = 2,
    Y = 3,
    Back = 4,
    Start = 6,
    DpadUp = 11,
    DpadDown = 12,
    DpadLeft = 13,
    DpadRight = 14,
};
constexpr int kPadButtonCount = 21;  // the library's button count: indexes 0 to 20

class GamepadRoster {
  public:
    // A pad plugged in: its number, or 0 when every number is taken (the pad is then ignored).
    // The first player waiting for a pad (whose pad was pulled out) takes it.
    int plug(int32_t deviceId);
    // A pad pulled out: its player, if any, waits for the next pad plugged in.
    void unplug(int32_t deviceId);
    void press(int32_t deviceId, int button);
    void release(int32_t deviceId, int button);

    // Whether a held button of a plugged-in pad gives `action` and that press was not taken.
    bool down(Action action) const;
    // Takes every press that gives `action`, with everything else that press gives (one press,
    // one use: the A that confirms does not flip as well).
    void consume(Action action);
    // The number of a pad on which `action` is down, 0 for none.
    int pressing(Action action) const;

    // The pad given to `playerNumber`, 0 for none.
    int padOfPlayer(int playerNumber) const;
    void give(int padNumber, int playerNumber);
    void clearPlayers();
    void setEveryPadPlayerOne(bool everyPad) { everyPadPlayerOne_ = everyPad; }
    int count() const;
    // Every pad out, every player without one, pads flipping their own players again.
    void reset();

  private:
    struct Pad {
        bool plugged = false;
        int32_t deviceId = 0;
        std::array<bool, kPadButtonCount> held{};
        std::array<bool, kPadButtonCount> taken{};
    };
    Pad* padWithId(int32_t deviceId);
    // The player whose runner pad `padNumber` flips, 0 for none.
    int playerOfPad(int padNumber) const;
    bool gives(int padNumber, int button, Action action) const;
    bool downOn(int padNumber, Action action) const;

    std::array<Pad, kMaxPlayers> pads_{};
    std::array<int, kMaxPlayers> padOfPlayer_{};
    std::array<bool, kMaxPlayers> waitingForPad_{};
    bool everyPadPlayerOne_ = false;
};
