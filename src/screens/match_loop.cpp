#include "screens/match_loop.h"

#include <allegro.h>

#include <memory>

#include "platform/clock.h"
#include "platform/input.h"
#include "screens/pause_screen.h"
#include "stream/recorded_drawing.h"
#include "world/mapa.h"
#include "world/stage_loading.h"

namespace {

void raceUntilOver(Mapa& stage, MatchRules& rules) {
    for (;;) {
        if (stage.isFinished() || rules.raceInterrupted()) return;
        const bool lost = rules.raceFrame(stage);
        if (rules.pauseRequested()) showPauseScreen([&rules] { return rules.pauseEnded(); });
        waitMoreThan(rules.frameGapMs());
        flushRecording();
        if (lost) return;
    }
}

// Releasing the map also removes its runners' key timers (mapa.h), so no timer can reach a runner
// once it is gone; remote inputs let go of it when the race closed (OpenRace).
void releaseStage(std::unique_ptr<Mapa>& stage) { stage.reset(); }

// The rules' race on `stage`, open for the life of the object: it closes however the frame loop
// ends, before the stage can be released.
class OpenRace {
  public:
    OpenRace(MatchRules& rules, Mapa& stage) : rules_(rules) { rules_.openRace(stage); }
    ~OpenRace() { rules_.closeRace(); }
    OpenRace(const OpenRace&) = delete;
    OpenRace& operator=(const OpenRace&) = delete;

  private:
    MatchRules& rules_;
};

}  // namespace

bool MatchRules::raceFrame(Mapa& stage) { return stage.raceFrame(); }

bool MatchRules::stageLoadAbandoned() { return actionDown(Action::Back); }

StageOutcome attemptStage(int stageNumber, const StageData& stage, const StageEntrants& entrants,
                          MatchRules& rules, std::vector<int>* arrivals) {
    StageLoadFailure failure;
    std::unique_ptr<Mapa> map =
        loadStageOrReport(stageNumber, stage, entrants.sprites, entrants.count, &failure);
    while (!map && failure == StageLoadFailure::kNoDescriptors) {
        waitMoreThan(kStageLoadRetryMs);
        if (rules.stageLoadAbandoned()) return StageOutcome::Abandoned;
        map = loadStageOrReport(stageNumber, stage, entrants.sprites, entrants.count, &failure);
    }
    if (!map) return StageOutcome::LoadFailed;
    if (!rules.prepareRace(stageNumber, *map)) {
        releaseStage(map);
        return StageOutcome::Abandoned;
    }
    {
        OpenRace race(rules, *map);
        raceUntilOver(*map, rules);
    }

    const StageOutcome outcome = rules.decideOutcome(stageNumber, map->isFinished());
    if (outcome == StageOutcome::Won && arrivals) *arrivals = map->arrivals();
    releaseStage(map);
    return outcome;
}

StageOutcome playStage(int stageNumber, const StageData& stage, const StageEntrants& entrants,
                       MatchRules& rules, std::vector<int>* arrivals) {
    StageOutcome outcome;
    do {
        outcome = attemptStage(stageNumber, stage, entrants, rules, arrivals);
    } while (outcome == StageOutcome::Replay);
    return outcome;
}

StageOutcome playMatch(const StageData& stage1, const StageData& stage2,
                       const StageEntrants& entrants, MatchRules& rules) {
    MatchArrivals arrivals;
    StageOutcome outcome = playStage(1, stage1, entrants, rules, &arrivals[0]);
    if (outcome != StageOutcome::Won) return outcome;
    waitMoreThan(kMatchIntervalMs);
    outcome = playStage(2, stage2, entrants, rules, &arrivals[1]);
    if (outcome != StageOutcome::Won) return outcome;
    rules.showWinner(arrivals, entrants);
    return StageOutcome::Won;
}
