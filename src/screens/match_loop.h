// One stage attempt and one match, shared by the local game and the server; what differs between
// them is asked of their rules (MatchRules).
//
// An attempt loads the stage, lets the rules prepare the race (the local prompt; the server's
// waiting screen and countdown), runs the frame loop between the rules' openRace and closeRace,
// asks the rules how the race ended and releases the stage. Whatever the outcome, the runners' key
// timers are removed before the stage, and with it the runners, is released.
//
// The frame loop: before each frame it ends when the stage is finished or the rules interrupt the
// race; each frame is drawn, then a pause the rules ask for holds the loop in the pause screen
// until the rules end it, then the loop waits more than the frame gap, flushes the frame, and ends
// when the frame lost the attempt (every runner out, nobody at the finish line).
//
// A stage whose images could not be opened for want of file descriptors (a flood of connections,
// say) is not broken: the attempt tries again every kStageLoadRetryMs until it loads or the rules
// give up.
//
// A stage is attempted until it is won, abandoned or cannot be loaded. A match is its stages in
// order (stage 1 and stage 2 when nobody chose others), an interval of two seconds between two of
// them, and the rules' winner screen with each stage's order of arrival. The rules know a stage by
// its place in the match: the first stage is the one they wait for the players at.
#pragma once

#include <string>
#include <vector>

#include "screens/winner_screen.h"

class Mapa;
struct StageData;

// One stage of a match: its number in the stage list (the load report and the winner picture name
// it) and its data, which outlives the match.
struct MatchStage {
    int number = 0;
    const StageData* data = nullptr;
};
// The most stages one match may have.
constexpr int kMostMatchStages = 12;

// The match nobody chose: shipped stages 1 and 2.
std::vector<MatchStage> classicMatchStages();

enum class StageOutcome {
    Won,         // someone reached the finish line, or the cheat (F10)
    Replay,      // every runner went out before the finish line: the same stage again
    Abandoned,   // Esc, or a stop: the match ends
    LoadFailed,  // the stage's images could not be loaded (reported): the match ends
};

constexpr int kFrameGapMs = 33;
// A stage that could not open its images for want of file descriptors is loaded again after this.
constexpr int kStageLoadRetryMs = 2000;
constexpr int kMatchIntervalMs = 2000;

// Who races: the first `count` players, player k + 1 with the sprite sheet `sprites[k]`.
struct StageEntrants {
    const std::vector<std::string>& sprites;
    int count;
};

// What the local game and the server do differently in a stage attempt and a match.
class MatchRules {
  public:
    virtual ~MatchRules() = default;

    // Between the stage's load and its race (`stageNumber`: the stage's place in the match, 1 for
    // the first). False ends the attempt before the race as Abandoned.
    virtual bool prepareRace(int stageNumber, Mapa& stage) = 0;
    // Just before and just after the frame loop of `stage`.
    virtual void openRace(Mapa& /*stage*/) {}
    virtual void closeRace() {}
    // Asked before each frame: whether the race ends now although the stage is not finished.
    virtual bool raceInterrupted() = 0;
    // One race frame of `stage` (Mapa::raceFrame); true when it lost the attempt.
    virtual bool raceFrame(Mapa& stage);
    // Asked after each frame: whether a pause starts now.
    virtual bool pauseRequested() = 0;
    // Asked between looks during a pause: whether it is over.
    virtual bool pauseEnded() = 0;
    // How the race that has just ended came out (`finished`: the stage's finish was reached).
    virtual StageOutcome decideOutcome(int stageNumber, bool finished) = 0;
    // The winner screen that ends a won match, for as long as it is shown.
    virtual void showWinner(const MatchArrivals& arrivals, const StageEntrants& entrants) = 0;
    virtual int frameGapMs() const { return kFrameGapMs; }
    // Asked before each new try at a stage that lacked file descriptors: whether to give up (the
    // attempt is then Abandoned). By default Esc.
    virtual bool stageLoadAbandoned();
};

// One attempt at `stage`, the `place`th of its match (1 for the first). When it is won and
// `arrivals` is given, it receives the player numbers that crossed the finish line, in order of
// arrival.
StageOutcome attemptStage(const MatchStage& stage, int place, const StageEntrants& entrants,
                          MatchRules& rules, std::vector<int>* arrivals = nullptr);
// The same for shipped stage `stageNumber` played at that place.
StageOutcome attemptStage(int stageNumber, const StageData& stage, const StageEntrants& entrants,
                          MatchRules& rules, std::vector<int>* arrivals = nullptr);

// Attempts until the stage is won, abandoned or cannot be loaded.
StageOutcome playStage(int stageNumber, const StageData& stage, const StageEntrants& entrants,
                       MatchRules& rules, std::vector<int>* arrivals = nullptr);

// One match of `stages` (1 to kMostMatchStages of them). Won once the winner screen has been
// shown; otherwise the outcome of the stage that ended it early (Abandoned or LoadFailed).
StageOutcome playMatch(const std::vector<MatchStage>& stages, const StageEntrants& entrants,
                       MatchRules& rules);
