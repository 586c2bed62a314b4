// The one place screens, races and the client read what the players ask for.
//
// Each frame the code asks whether an action is down (actionDown) and, when it acts on it, takes
// the press (consumeAction): the action then stays up until it is pressed anew, on any source.
// That is what reading and clearing the graphics library's `key[]` entries always did, and the
// keyboard source still does exactly that, so a test that writes `key[]` drives the game as before.
//
// Sources: the keyboard (always), and any other that registers (the gamepads, gamepads.h; a test's
// own). Any thread may ask: the 5 ms flip poll of local play asks from the library's timer thread.
#pragma once

#include <array>

#include "platform/player_limits.h"

enum class Action {
    Flip1,  // flip player 1's runner; Flip1 + k for player k + 1
    Flip2,
    Flip3,
    Flip4,
    Flip5,
    Flip6,
    Pause,    // P
    Cheat,    // F10: end the stage as won
    Back,     // Esc
    Confirm,  // Enter
    Up,       // the arrows
    Down,
    Left,
    Right,
    Mute,        // S
    FullScreen,  // F11
    ToStart,     // Home: a playback goes back to its start
    Overlay,     // F3: a client's figures over its picture
    Count,
};

constexpr int kActionCount = static_cast<int>(Action::Count);

// The flip action of `playerNumber` (1 to kMaxPlayers).
Action flipAction(int playerNumber);

// Whether any source has the action down and not yet taken.
bool actionDown(Action action);
// Takes the press on every source.
void consumeAction(Action action);

// A source of actions besides the keyboard.
class InputSource {
  public:
    virtual ~InputSource() = default;
    virtual bool down(Action action) = 0;
    virtual void consume(Action action) = 0;
};

// At most a few sources at once; adding one twice is a no-op. A removed source is no longer asked
// once removeInputSource returns (unless another thread is inside actionDown at that moment: remove
// a source only when no race runs, or keep it alive).
void addInputSource(InputSource* source);
void removeInputSource(InputSource* source);

// The keyboard's flip keys of one player: a key and an optional second one (0 for none).
struct KeyBinding {
    int key;
    int alternativeKey;
};
// Today's keys: X, M, Right arrow, A, Ctrl (either), 3 (or keypad 3).
const std::array<KeyBinding, kMaxPlayers>& defaultFlipKeys();
// The keys the keyboard source reads for each player's flip now (the defaults until set).
const std::array<KeyBinding, kMaxPlayers>& flipKeys();
void setFlipKeys(const std::array<KeyBinding, kMaxPlayers>& keys);

// For a screen where a player presses the key they want: the lowest scan code down on the keyboard
// (F11, the window's, left alone), taken as consumeAction takes a press; 0 when none is down.
int takeKeyPress();

// The keys of the actions that are not flips (Esc, Enter, P, ...), which no player may take.
bool isReservedKey(int scanCode);
