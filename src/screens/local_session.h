// The local game: every player on one keyboard and one window.
//
// Match after match: main menu, player selection, stage 1, two seconds, stage 2, the winner
// picture with each stage's order of arrival, and back to the menu, until the menu's leave item or
// Esc there. A stage lost by every runner is played again; Esc in a race goes back to the menu; F10
// wins the stage.
#pragma once

#include <string>
#include <vector>

#include "screens/stage_run.h"  // the local rules, the winner picture until Enter

struct StageData;

// Brings the graphics up, plays matches with the game's two stages, shuts the graphics down.
// With `recordingPath`, records what the window shows there (recording_file.h).
void runLocalSession(const std::string& recordingPath = "");

// The matches themselves, on graphics already started, with the given stages (and the given rules,
// which a test may extend to watch the stages).
void playLocalMatches(const StageData& stage1, const StageData& stage2);
void playLocalMatches(const StageData& stage1, const StageData& stage2, LocalMatchRules& rules);
