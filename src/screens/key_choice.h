// The choice of flip keys on the TECLAS screen: the players choose one after the other, each
// pressing the key they want. A key another player has (their chosen one, or their default while
// they have not chosen) is refused and the clash named; so is a key of another action.
#pragma once

#include <array>

#include "platform/input.h"
#include "platform/player_limits.h"

struct KeyChoice {
    std::array<KeyBinding, kMaxPlayers> keys;  // what each player has now
    int player = 0;                            // index of the one choosing; kMaxPlayers: done
    int clashWith = 0;  // after a refusal: the player (1 to 6) who has the key, or kReservedClash
};

inline constexpr int kReservedClash = -1;

// A choice that starts from `keys`, player 1 first.
KeyChoice startKeyChoice(const std::array<KeyBinding, kMaxPlayers>& keys);

// The player choosing presses `scanCode`: taken (and the next player's turn) unless it clashes or
// is not a choosable key. Returns whether it was taken.
bool pressKey(KeyChoice& choice, int scanCode);

// The player choosing keeps the key they have; the next player's turn.
void keepKey(KeyChoice& choice);

bool choiceDone(const KeyChoice& choice);
