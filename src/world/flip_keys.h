// The flip keys of the six players and the key poll of local play.
//
// Local players see the picture of the key to press (or of their gamepad); a server records the
// picture of the player's number instead, so that remote players see their number.
#pragma once

#include <string>

class Runner;

struct FlipKeys {
    int key;                    // Allegro scan code
    int alternativeKey;         // a second key that flips too, 0 for none
    const char* localImage;     // key picture loaded in local play
    const char* recordedImage;  // key picture named in the drawing record
};

// The keys of `playerNumber` (1 to 6) as chosen now (platform/input.h's flipKeys, teclas.conf);
// the picture is the key's, or the player's gamepad's when a pad is theirs.
FlipKeys flipKeysOf(int playerNumber);

// The 5 ms timer callback of local play (parameter: the Runner). When the runner's flip action is
// down (its keys, or its gamepad) and the runner is grounded, flips it and takes the press, so
// that one press flips once; a press held while airborne flips at the first poll that finds it
// grounded.
void pollKey(void* runner);

// Local play: installs pollKey for `runner` as a 5 ms timer of the graphics library.
void startKeyPoll(Runner* runner);
// Removes that timer, if it runs; once this returns the callback no longer runs for `runner`.
void stopKeyPoll(Runner* runner);
