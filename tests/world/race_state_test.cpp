// Saving a stage's race state, racing on and restoring it: the race that follows is the same.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "world/boost_tela.h"
#include "world/linha_chegada.h"
#include "world/mapa.h"
#include "world/runner.h"
#include "world/world_fixture.h"

namespace {

constexpr int kFrameMs = 34;
constexpr int kStageWidth = 1200;

// A stage with a floor (rows 300 down), a ceiling (rows 0 to 20) and a wall on the floor at
// x 500, two speed markers and a finish line at x 900; two runners, one of which flips.
class WalledStage {
  public:
    WalledStage() : clock(1000), recorder(1) {
        const std::vector<LevelRect> terrain = {{0, kStageWidth, 300, 480, true},
                                                {0, kStageWidth, 0, 21, true},
                                                {500, 506, 200, 300, true}};
        map = std::make_unique<Mapa>("v.bmp", kStageWidth, terrain);
        flipper = &map->addRunner(std::make_unique<Runner>("", 42, 47, false, 1, 300, 299));
        walker = &map->addRunner(std::make_unique<Runner>("", 42, 47, false, 2, 240, 150));
        map->addObject(std::make_unique<BoostTela>(5, 10));
        map->addObject(std::make_unique<BoostTela>(400, 4));
        map->addObject(std::make_unique<LinhaChegada>(900, 480, 480));
    }

    // What `frames` race frames record and leave behind, the flipper flipping before the frames
    // of `flips` (absolute frame numbers, counted from the first frame of the stage).
    struct Run {
        std::vector<std::string> instructions;
        std::vector<int> collisionPixels;
        Mapa::RaceState end;
    };
    Run race(int firstFrame, int frames, const std::vector<int>& flips) {
        Run run;
        for (int frame = firstFrame; frame < firstFrame + frames; ++frame) {
            for (int flipAt : flips) {
                if (flipAt == frame) flipper->flipGravity();
            }
            advanceSimulatedClock(kFrameMs);
            map->raceFrame();
        }
        run.instructions = recorder.takeInstructions();
        BITMAP* work = map->collisionWork();
        for (int y = 0; y < work->h; ++y) {
            for (int x = 0; x < work->w; ++x) run.collisionPixels.push_back(getpixel(work, x, y));
        }
        run.end = map->raceState();
        return run;
    }

    SimulatedClockScope clock;
    RecorderScope recorder;
    TempImageDir dir;
    std::unique_ptr<Mapa> map;
    Runner* flipper = nullptr;
    Runner* walker = nullptr;
};

// Races `frames` frames from frame `from` twice, the second time from the state saved before the
// first, and expects both to record, paint and end the same.
void expectTheRaceReplaysFrom(WalledStage& stage, int from, int frames,
                              const std::vector<int>& flips) {
    const int64_t savedAt = clockMs();
    stage.recorder.takeInstructions();
    const Mapa::RaceState saved = stage.map->raceState();
    const WalledStage::Run first = stage.race(from, frames, flips);
    ASSERT_NE(first.end, saved) << "the race went nowhere";

    useSimulatedClock(savedAt);
    stage.map->restoreRace(saved);
    EXPECT_EQ(stage.map->raceState(), saved);
    stage.recorder.takeInstructions();
    const WalledStage::Run second = stage.race(from, frames, flips);
    EXPECT_EQ(second.instructions, first.instructions);
    EXPECT_TRUE(second.collisionPixels == first.collisionPixels) << "the collision boxes differ";
    EXPECT_EQ(second.end, first.end);
}

TEST(RaceState, RestoredAtTheStartTheStageRacesTheSameAgain) {
    WalledStage stage;
    const std::vector<int> flips = {3, 75};
    expectTheRaceReplaysFrom(stage, 0, 120, flips);
    // What the race went through, so that every part of the state had its say.
    EXPECT_TRUE(stage.flipper->hasFinished());
    EXPECT_FALSE(stage.walker->isActive()) << "the walker was left behind at the wall";
    EXPECT_EQ(stage.map->arrivals(), std::vector<int>{1});
    EXPECT_EQ(stage.map->camera().speedX(), 4.0) << "the camera took the second marker's speed";
    EXPECT_FALSE(stage.map->raceState().objects.front().active) << "the first marker is behind";
}

TEST(RaceState, RestoredMidRaceTheStageRacesTheSameAgain) {
    WalledStage stage;
    const std::vector<int> flips = {3, 75};
    stage.race(0, 20, flips);
    ASSERT_EQ(stage.flipper->gravity(), -1);
    ASSERT_EQ(stage.map->camera().speedX(), 10.0);
    expectTheRaceReplaysFrom(stage, 20, 100, flips);
}

TEST(RaceState, AStateOfAnotherStageIsRefused) {
    WalledStage stage;
    Mapa::RaceState other = stage.map->raceState();
    other.runners.pop_back();
    EXPECT_THROW(stage.map->restoreRace(other), std::invalid_argument);
}

}  // namespace
