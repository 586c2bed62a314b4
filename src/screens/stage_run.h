// One stage of a local match: load it, show its first picture under the Enter prompt, race it
// frame by frame (with pause, abandon and skip keys) and decide how it ended.
//
// The two stages end by different rules on purpose: stage 1 looks at the finish line before F10,
// so an F10 held at a real finish is left down and may end stage 2 at once; stage 2 looks at F10
// first. Whatever the outcome, the runners' key timers are removed and their runnerTable entries
// cleared before the stage, and with it the runners, is released.
#pragma once

#include <string>
#include <vector>

struct StageData;

enum class StageOutcome {
    Won,         // someone reached the finish line, or F10
    Replay,      // every runner went out before the finish line: the same stage again
    Abandoned,   // Esc: back to the main menu
    LoadFailed,  // the stage's images could not be loaded (reported): back to the main menu
};

// The outcome of a race loop that has just ended, by the rule of `stageNumber` (1 or 2); reads
// Esc and F10 and consumes the one that decided.
StageOutcome decideStageOutcome(int stageNumber, bool finished);

// One attempt at a stage for the first `playerCount` sprites. When it is won and `arrivals` is
// given, it receives the player numbers that crossed the finish line, in order of arrival.
StageOutcome runStageAttempt(int stageNumber, const StageData& stage,
                             const std::vector<std::string>& sprites, int playerCount,
                             std::vector<int>* arrivals = nullptr);

// Attempts until the stage is won, abandoned or cannot be loaded.
StageOutcome playStage(int stageNumber, const StageData& stage,
                       const std::vector<std::string>& sprites, int playerCount,
                       std::vector<int>* arrivals = nullptr);
