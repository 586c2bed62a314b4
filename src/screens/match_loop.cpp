#include "screens/match_loop.h"

#include <allegro.h>

#include <algorithm>
#include <memory>

#include "platform/clock.h"
#include "platform/input.h"
#include "screens/pause_screen.h"
#include "stream/recorded_drawing.h"
#include "world/mapa.h"
#include "world/stage_list.h"
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

std::vector<MatchStage> classicMatchStages() {
    return {{1, &shippedStage(1)}, {2, &shippedStage(2)}};
}

StageOutcome attemptStage(const MatchStage& stage, int place, const StageEntrants& entrants,
                          MatchRules& rules, std::vector<int>* arrivals) {
    StageLoadFailure failure;
    std::unique_ptr<Mapa> map =
        loadStageOrReport(stage.number, *stage.data, entrants.sprites, entrants.count, &failure);
    while (!map && failure == StageLoadFailure::kNoDescriptors) {
        waitMoreThan(kStageLoadRetryMs);
        if (rules.stageLoadAbandoned()) return StageOutcome::Abandoned;
        map = loadStageOrReport(stage.number, *stage.data, entrants.sprites, entrants.count,
                                &failure);
    }
    if (!map) return StageOutcome::LoadFailed;
    if (!rules.prepareRace(place, *map)) {
        releaseStage(map);
        return StageOutcome::Abandoned;
    }
    {
        OpenRace race(rules, *map);
        raceUntilOver(*map, rules);
    }

    const StageOutcome outcome = rules.decideOutcome(place, map->isFinished());
    if (outcome == StageOutcome::Won && arrivals) *arrivals = map->arrivals();
    releaseStage(map);
    return outcome;
}

StageOutcome attemptStage(int stageNumber, const StageData& stage, const StageEntrants& entrants,
                          MatchRules& rules, std::vector<int>* arrivals) {
    return attemptStage(MatchStage{stageNumber, &stage}, stageNumber, entrants, rules, arrivals);
}

namespace {

StageOutcome playStageAt(const MatchStage& stage, int place, const StageEntrants& entrants,
                         MatchRules& rules, std::vector<int>* arrivals) {
    StageOutcome outcome;
    do {
        outcome = attemptStage(stage, place, entrants, rules, arrivals);
    } while (outcome == StageOutcome::Replay);
    return outcome;
}

}  // namespace

StageOutcome playStage(int stageNumber, const StageData& stage, const StageEntrants& entrants,
                       MatchRules& rules, std::vector<int>* arrivals) {
    return playStageAt(MatchStage{stageNumber, &stage}, stageNumber, entrants, rules, arrivals);
}

StageOutcome playMatch(const std::vector<MatchStage>& stages, const StageEntrants& entrants,
                       MatchRules& rules) {
    MatchArrivals arrivals;
    const size_t count = std::min<size_t>(stages.size(), kMostMatchStages);
    for (size_t place = 0; place < count; ++place) {
        if (place > 0) waitMoreThan(kMatchIntervalMs);
        arrivals.push_back({stages[place].number, {}});
        const StageOutcome outcome = playStageAt(stages[place], static_cast<int>(place) + 1,
                                                 entrants, rules, &arrivals.back().players);
        if (outcome != StageOutcome::Won) return outcome;
    }
    if (arrivals.empty()) return StageOutcome::Abandoned;
    rules.showWinner(arrivals, entrants);
    return StageOutcome::Won;
}
