// A game controller that exists only in SDL (a virtual joystick of the game controller type), for
// tests without hardware. Plugged in while it lives (or until pullOut); its buttons change when
// SDL next reads its joysticks (pumpGamepads, or the pads' own thread).
#pragma once

#include <SDL.h>

#include "platform/gamepad_roster.h"
#include "platform/gamepads.h"

// The pads without their thread for the lifetime of the object: the test pumps them itself.
struct PumpedGamepads {
    PumpedGamepads() : started(startGamepadsWithoutThread()) {}
    ~PumpedGamepads() { stopGamepads(); }
    PumpedGamepads(const PumpedGamepads&) = delete;
    PumpedGamepads& operator=(const PumpedGamepads&) = delete;
    const bool started;
};

class VirtualPad {
  public:
    // SDL must be started (startGamepads or startGamepadsWithoutThread).
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool plugged() const { return joystick_ != nullptr; }
    void hold(PadButton button);
    void release(PadButton button);
    void pullOut();

  private:
    SDL_Joystick* joystick_ = nullptr;
};
