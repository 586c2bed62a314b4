// Gamepads, through SDL2's game controller API (initialised for game controllers only, beside the
// graphics library's window): a source of actions for platform/input.h.
//
// Pads are numbered 1 to kMaxPlayers in the order they are plugged in (the lowest free number).
// Any face button of a pad flips its player's runner (the player it was given to in the player
// selection, or player 1 for every pad on a client), Start pauses, Back goes back, A confirms and
// the directional pad moves. A press stays down until it is released or taken, as a key does.
//
// Pads may come and go at any time: a pad pulled out leaves its player without a pad, and the next
// pad plugged in while that player has none takes the player back.
#pragma once

#include "platform/input.h"

// Starts SDL's game controller subsystem and a thread that reads its events every few
// milliseconds. False, silently, when SDL cannot start (the game goes on with the keyboard).
bool startGamepads();
// For tests: starts the subsystem without the thread; pumpGamepads then reads the pending events.
bool startGamepadsWithoutThread();
void pumpGamepads();
// Closes the pads and SDL (the thread first).
void stopGamepads();

// The pads with their thread for the lifetime of the object (the game goes on without them when
// SDL cannot start).
class GamepadSession {
  public:
    GamepadSession() { startGamepads(); }
    ~GamepadSession() { stopGamepads(); }
    GamepadSession(const GamepadSession&) = delete;
    GamepadSession& operator=(const GamepadSession&) = delete;
};

// The number of the pad given to `playerNumber`, 0 for none (or when it is not plugged in).
int gamepadNumberOfPlayer(int playerNumber);
// The number of a plugged-in pad on which `action` is down now, 0 for none.
int gamepadPressing(Action action);
// Gives pad `padNumber` to `playerNumber` (taking it from whoever had it).
void giveGamepadToPlayer(int padNumber, int playerNumber);
// Every pad is nobody's again.
void clearGamepadPlayers();
// On a client: every pad flips player 1's runner (the client's own). Starting the pads sets it back
// to false.
void setEveryGamepadPlayerOne(bool everyPad);
// How many pads are plugged in.
int gamepadCount();
