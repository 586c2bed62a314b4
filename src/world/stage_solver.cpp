#include "world/stage_solver.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

#include "platform/clock.h"
#include "stream/gravador_tela.h"
#include "world/mapa.h"
#include "world/runner.h"
#include "world/runner_sprites.h"
#include "world/stage_loading.h"

namespace {

constexpr int kFrameMs = 34;
constexpr int kMaxFrames = 4000;  // far more than the slowest stage needs (18000 px at 10 px/frame)

const std::vector<std::string>& kSprites = runnerSpritesInOrder();

// Headless server-mode set-up for the lifetime of a search: a recorder that records for nobody
// (so nothing is drawn locally) and the simulated clock.
class Headless {
  public:
    Headless() {
        GravadorTela::install(&recorder_);
        useSimulatedClock(100000);
    }
    ~Headless() {
        GravadorTela::install(nullptr);
        useRealClock();
    }

  private:
    GravadorTela recorder_{SessionMode::RecordsOnly};
};

std::unique_ptr<Mapa> load(const StageData& stage, int runners) {
    return loadStage(stage, kSprites, runners);
}

// The stage before or after a frame, and the flips that led there.
struct Snapshot {
    Mapa::RaceState race;
    Objeto::MotionState runner;  // the searched runner's, out of `race`
    std::vector<Flip> flips;

    using Key = std::tuple<int, int, int, bool, int>;
    Key key() const {
        return Key{runner.x, runner.y, runner.gravity, runner.grounded, int(runner.speedY * 100)};
    }
};

class Stage {
  public:
    Stage(const StageData& stage, int startPlayer) : map_(load(stage, startPlayer)) {
        const PlayerRegistry& players = map_->playerRegistry();
        for (auto& [colour, r] : players) {
            if (r->playerNumber() == startPlayer) {
                runner_ = r.get();
                runnerIndex_ = std::distance(players.begin(), players.find(colour));
            } else {
                r->deactivate();  // only the runner at the chosen start takes part
            }
        }
    }
    Runner& runner() { return *runner_; }
    Mapa& map() { return *map_; }

    Snapshot capture() const {
        Snapshot s;
        s.race = map_->raceState();
        s.runner = s.race.runners[runnerIndex_].body;
        return s;
    }

    // Puts the stage back in the snapshot's state, collision boxes included.
    void restore(const Snapshot& s) { map_->restoreRace(s.race); }

  private:
    std::unique_ptr<Mapa> map_;
    Runner* runner_ = nullptr;
    size_t runnerIndex_ = 0;
};

}  // namespace

SolveResult solveStage(const StageData& stage, int startPlayer) {
    Headless headless;
    const int64_t start = clockMs();
    Stage live(stage, startPlayer);
    SolveResult result;

    // A state before a frame still to be run, and whether the runner flips before it.
    struct Branch {
        Snapshot state;
        int frame;
        bool flip;
    };
    std::vector<Branch> open;
    std::set<std::pair<int, Snapshot::Key>> seen;
    // Pushes the choices of the state before `frame`, not flipping on top (tried first).
    auto branch = [&](Snapshot&& state, int frame) {
        if (frame >= kMaxFrames || !seen.insert({frame, state.key()}).second) return;
        if (state.runner.grounded) open.push_back({state, frame, true});
        open.push_back({std::move(state), frame, false});
    };
    branch(live.capture(), 0);
    // The live stage is in the state of the top branch when that branch was pushed last from it:
    // then nothing need be restored.
    bool liveAtTop = true;
    while (!open.empty()) {
        Branch next = std::move(open.back());
        open.pop_back();
        if (!liveAtTop) {
            live.restore(next.state);
            useSimulatedClock(start + int64_t(next.frame) * kFrameMs);
        }
        liveAtTop = false;
        if (next.flip) live.runner().flipGravity();
        live.map().raceFrame();
        advanceSimulatedClock(kFrameMs);
        ++result.statesExplored;
        Snapshot after = live.capture();
        after.flips = std::move(next.state.flips);
        if (next.flip)
            after.flips.push_back({next.frame, next.state.runner.x, live.runner().gravity()});
        result.farthestX = std::max(result.farthestX, after.runner.x);
        result.frames = std::max(result.frames, next.frame + 1);
        if (after.runner.finished) {
            result.won = true;
            result.frames = next.frame + 1;
            result.flips = after.flips;
            return result;
        }
        if (!after.runner.active) continue;
        const size_t before = open.size();
        branch(std::move(after), next.frame + 1);
        liveAtTop = open.size() > before;
    }
    return result;
}

std::vector<FlipWindow> flipWindows(const StageData& stage, int startPlayer,
                                    const std::vector<Flip>& flips) {
    Headless headless;
    const int64_t start = clockMs();
    Stage live(stage, startPlayer);
    std::set<int> original;
    for (const Flip& f : flips) original.insert(f.frame);

    // The winning path, as the state before every frame.
    std::vector<Snapshot> path{live.capture()};
    for (int frame = 0;
         frame < kMaxFrames && !live.runner().hasFinished() && live.runner().isActive(); ++frame) {
        if (original.count(frame)) live.runner().flipGravity();
        live.map().raceFrame();
        advanceSimulatedClock(kFrameMs);
        path.push_back(live.capture());
    }

    // Replays from the path's state before frame `from` with `schedule`; true when the runner
    // reaches the line, or falls back into the winning path once both the moved flip and its
    // original are past.
    auto wins = [&](int from, const std::set<int>& schedule, int settledAfter) {
        useSimulatedClock(start + int64_t(from) * kFrameMs);
        live.restore(path[from]);
        for (int frame = from; frame < kMaxFrames; ++frame) {
            if (schedule.count(frame) && !live.runner().flipGravity()) return false;
            live.map().raceFrame();
            advanceSimulatedClock(kFrameMs);
            if (live.runner().hasFinished()) return true;
            if (!live.runner().isActive()) return false;
            if (frame >= settledAfter && frame + 1 < int(path.size()) &&
                live.capture().key() == path[frame + 1].key())
                return true;
        }
        return false;
    };

    std::vector<FlipWindow> windows;
    for (size_t i = 0; i < flips.size(); ++i) {
        const int f = flips[i].frame;
        const int previous = i > 0 ? flips[i - 1].frame : -1;
        const int next = i + 1 < flips.size() ? flips[i + 1].frame : kMaxFrames;
        auto moved = [&](int to) {
            std::set<int> schedule = original;
            schedule.erase(f);
            schedule.insert(to);
            return schedule;
        };
        int earliest = f, latest = f;
        while (earliest - 1 > previous && f - earliest < kWindowReach &&
               wins(earliest - 1, moved(earliest - 1), f))
            --earliest;
        while (latest + 1 < next && latest - f < kWindowReach &&
               wins(f, moved(latest + 1), latest + 1))
            ++latest;
        const int latestX =
            latest + 1 < int(path.size()) ? path[latest].runner.x : path.back().runner.x;
        windows.push_back({earliest, latest, path[earliest].runner.x, latestX});
    }
    return windows;
}

std::vector<int> finishersWithoutFlipping(const StageData& stage, int runners, int onlyPlayer) {
    Headless headless;
    std::unique_ptr<Mapa> map = load(stage, runners);
    if (onlyPlayer != 0)
        for (auto& [colour, r] : map->playerRegistry())
            if (r->playerNumber() != onlyPlayer) r->deactivate();
    for (int frame = 0; frame < kMaxFrames && map->activeRunners() > 0; ++frame) {
        map->raceFrame();
        advanceSimulatedClock(kFrameMs);
    }
    std::vector<int> finishers;
    for (auto& [colour, r] : map->playerRegistry())
        if (r->hasFinished()) finishers.push_back(r->playerNumber());
    return finishers;
}
