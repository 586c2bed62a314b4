// The local game: every player on one keyboard and one window.
//
// Match after match: main menu, player selection, the match's stages (stage 1, two seconds, stage 2
// when none were chosen, on the command line or the menu's FASES screen), the winner picture with
// each stage's order of arrival, and back to the menu, until the menu's leave item or
// Esc there. A stage lost by every runner is played again; Esc in a race goes back to the menu; F10
// wins the stage.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "screens/stage_run.h"  // the local rules, the winner picture until Enter
#include "world/stage_choice.h"

struct StageData;

// Brings the graphics up, plays matches, shuts the graphics down. The matches' stages: `stages`
// when given (--fases), else the ones fases.conf keeps (stage_choice_file.h). With
// `recordingPath`, records what the window shows there (recording_file.h).
void runLocalSession(const std::string& recordingPath = "",
                     const std::optional<StageChoice>& stages = std::nullopt);

// The matches themselves, on graphics already started: `stage1` and `stage2` while nothing is
// chosen, else the chosen shipped stages (`chosen` to begin with; the menu's FASES screen changes
// it). The given rules may be extended by a test to watch the stages.
void playLocalMatches(const StageData& stage1, const StageData& stage2);
void playLocalMatches(const StageData& stage1, const StageData& stage2, LocalMatchRules& rules,
                      const StageChoice& chosen = {});
