#include "stage_solver.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <tuple>

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

std::unique_ptr<Mapa> load(int stage, int runners) {
    return stage == 1 ? loadStage1(kSprites, runners) : loadStage2(kSprites, runners);
}

// The stage before or after a frame, and the flips that led there.
struct Snapshot {
    Mapa::RaceState race;
    Objeto::MotionState runner;  // the searched runner's, out of `race`
    std::vector<Flip> flips;

    auto key() const {
        return std::make_tuple(runner.x, runner.y, runner.gravity, runner.grounded,
                               int(runner.speedY * 100));
    }
};

class Stage {
  public:
    Stage(int stage, int startPlayer) : map_(load(stage, startPlayer)) {
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

SolveResult solveStage(int stage, int startPlayer, int beamWidth) {
    Headless headless;
    Stage live(stage, startPlayer);
    SolveResult result;
    std::vector<Snapshot> beam{live.capture()};
    for (int frame = 0; frame < kMaxFrames && !beam.empty(); ++frame) {
        std::map<decltype(beam[0].key()), Snapshot> next;
        for (const Snapshot& state : beam) {
            for (int choice = 0; choice < 2; ++choice) {
                const bool flip = choice == 1;
                if (flip && !state.runner.grounded) continue;
                live.restore(state);
                if (flip) live.runner().flipGravity();
                live.map().raceFrame();
                ++result.statesExplored;
                Snapshot after = live.capture();
                after.flips = state.flips;
                if (flip) after.flips.push_back({frame, state.runner.x, live.runner().gravity()});
                result.farthestX = std::max(result.farthestX, after.runner.x);
                if (after.runner.finished) {
                    result.won = true;
                    result.frames = frame + 1;
                    result.flips = after.flips;
                    return result;
                }
                if (!after.runner.active) continue;
                auto found = next.find(after.key());
                // Of two identical states keep the one reached with fewer flips.
                if (found == next.end() || found->second.flips.size() > after.flips.size())
                    next[after.key()] = std::move(after);
            }
        }
        advanceSimulatedClock(kFrameMs);
        beam.clear();
        for (auto& entry : next) beam.push_back(std::move(entry.second));
        // Prefer progress; among equals, fewer flips.
        std::sort(beam.begin(), beam.end(), [](const Snapshot& a, const Snapshot& b) {
            if (a.runner.x != b.runner.x) return a.runner.x > b.runner.x;
            return a.flips.size() < b.flips.size();
        });
        if (int(beam.size()) > beamWidth) beam.resize(beamWidth);
        result.frames = frame + 1;
    }
    return result;
}

std::vector<FlipWindow> flipWindows(int stage, int startPlayer, const std::vector<Flip>& flips) {
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
        while (earliest - 1 > previous && wins(earliest - 1, moved(earliest - 1), f)) --earliest;
        while (latest + 1 < next && wins(f, moved(latest + 1), latest + 1)) ++latest;
        const int latestX =
            latest + 1 < int(path.size()) ? path[latest].runner.x : path.back().runner.x;
        windows.push_back({earliest, latest, path[earliest].runner.x, latestX});
    }
    return windows;
}

std::vector<int> finishersWithoutFlipping(int stage, int runners, int onlyPlayer) {
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
