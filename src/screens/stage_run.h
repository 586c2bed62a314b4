// The local game's rules of a stage and a match (match_loop.h runs them): the stage's first
// picture under the Enter prompt before the race; P pauses until a new press of P; Esc and F10 end
// the race; the winner picture stays until Enter.
//
// The two stages end by different rules on purpose: stage 1 looks at the finish line before F10,
// so an F10 held at a real finish is left down and may end stage 2 at once; stage 2 looks at F10
// first.
#pragma once

#include <string>
#include <vector>

#include "screens/match_loop.h"

struct StageData;

// The outcome of a race loop that has just ended, by the rule of `stageNumber` (1 or 2); reads
// Esc and F10 and consumes the one that decided.
StageOutcome decideStageOutcome(int stageNumber, bool finished);

// The winner picture (winner_screen.h) until Enter, whose press is consumed so the menu does not
// take it. `sprites[k]` is player k + 1's sprite sheet.
void showWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& sprites);

class LocalMatchRules : public MatchRules {
  public:
    bool prepareRace(int stageNumber, Mapa& stage) override;
    bool raceInterrupted() override;
    bool pauseRequested() override;
    bool pauseEnded() override;
    StageOutcome decideOutcome(int stageNumber, bool finished) override;
    void showWinner(const MatchArrivals& arrivals, const StageEntrants& entrants) override;
};

// One local attempt at a stage for the first `playerCount` sprites. When it is won and `arrivals`
// is given, it receives the player numbers that crossed the finish line, in order of arrival.
StageOutcome runStageAttempt(int stageNumber, const StageData& stage,
                             const std::vector<std::string>& sprites, int playerCount,
                             std::vector<int>* arrivals = nullptr);
