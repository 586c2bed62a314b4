// The graphical main menu of the local game.
//
// Eleven items over a background picture: 1 to 6 players, credits (7), instructions (8), leave the
// game (9), right of the credits the players' keys (10, the TECLAS screen, keys_screen.h) and right
// of the instructions the matches' stages (11, the FASES screen, stages_screen.h). The
// arrow keys move the highlight (one step per press: the arrows are consumed every frame), Enter
// acts on the item, Esc leaves. Returns the number of players chosen, or 9 to leave. The Enter or
// Esc that ended the menu is left down for the caller. Every call loads its 25 pictures and its
// buffer afresh and releases all 26 on the way out, recording each step. The picture is drawn when
// the menu opens and again only when the highlight moves or another screen was over it.
#pragma once

#include "world/stage_choice.h"

// What the menu remembers from one call to the next: the player count last reached with Left or
// Right (Up from the credits item leads back to it). Whoever runs the menu loop keeps it (the local
// game, for its whole session).
struct MenuMemory {
    int lastPlayerCount = 1;
    StageChoice stages;  // the matches' stages, as the FASES screen leaves them
};

// What the first matching rule of a frame asks the menu to do.
enum class MenuAction { None, Choose, Leave, Credits, Instructions, Keys, Stages };

// Applies, to `selectedItem` and `memory`, the first of the menu's key rules whose keys are down
// and whose condition holds, and only that one. Reads `key`; clears nothing.
MenuAction applyMenuRules(int& selectedItem, MenuMemory& memory);

int runMainMenu(MenuMemory& memory);
