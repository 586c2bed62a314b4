// Player selection: the players choose distinct characters one after another on one keyboard.
//
// Player 1 chooses first. Each player moves a cursor over the six character columns with Left and
// Right (taken columns are jumped over) and confirms with Enter; Escape backs out. The pads move
// and confirm too (gamepads.h): the pad that confirms a character becomes that player's, and a
// player who confirms with the keyboard plays with the keys. The result is
// the sprite list: the runner image of each player's character, in player order. The screen loads
// 26 pictures and a buffer on entry and releases all 27 on the way out, recording every step.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/player_limits.h"

// Entry k is the runner image of player k + 1's character; entries from the player count on are
// empty.
using SpriteList = std::array<std::string, kMaxPlayers>;

// Where the players stand while choosing; the screen's rules for moving and choosing.
struct SelectionState {
    static constexpr int kFirstCursorX = 67;
    static constexpr int kColumnStep = 85;
    static constexpr int kLastCursorX = kFirstCursorX + kColumnStep * (kMaxPlayers - 1);
    static constexpr std::array<int, kMaxPlayers> everyCursorAt(int x) {
        std::array<int, kMaxPlayers> cursors{};
        for (int& cursor : cursors) cursor = x;
        return cursors;
    }

    int playerCount = 1;
    int currentPlayer = 0;  // index of the player choosing; playerCount once all have chosen
    std::array<int, kMaxPlayers> cursorX = everyCursorAt(kFirstCursorX);
    std::array<bool, kMaxPlayers> taken{};
    std::array<bool, kMaxPlayers> placed{};
    SpriteList sprites;

    int cursorColumn() const { return (cursorX[currentPlayer] - kFirstCursorX) / kColumnStep; }
    bool done() const { return currentPlayer >= playerCount; }

    // With column 0 taken, puts a cursor not yet placed on the first free column from 1 on.
    void placeCursor();
    // Moves the cursor to the nearest free column on that side; stays when there is none.
    void moveRight();
    void moveLeft();
    // The current player takes the character under the cursor; the next player chooses.
    void choose();
};

// Returns the sprite list once every one of `playerCount` players (1 to 6) has chosen, or nothing
// when Escape is pressed (that press is consumed).
std::optional<SpriteList> runPlayerSelection(int playerCount);
