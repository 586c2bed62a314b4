// The local game: every player on one keyboard and one window.
//
// Match after match: main menu, player selection, stage 1, two seconds, stage 2, the winner
// picture with each stage's order of arrival, and back to the menu, until the menu's leave item or
// Esc there. A stage lost by every runner is played again; Esc in a race goes back to the menu; F10
// wins the stage.
#pragma once

#include <string>
#include <vector>

#include "screens/winner_screen.h"

struct StageData;

// Brings the graphics up, plays matches with the game's two stages, shuts the graphics down.
void runLocalSession();

// The matches themselves, on graphics already started, with the given stages.
void playLocalMatches(const StageData& stage1, const StageData& stage2);

// The winner picture (winner_screen.h) until Enter, whose press is consumed so the menu does not
// take it. `sprites[k]` is player k + 1's sprite sheet.
void showWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& sprites);
