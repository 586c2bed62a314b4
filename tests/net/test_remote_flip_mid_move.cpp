// A remote flip that arrives on the request thread while the game thread is inside a frame's
// motion of a grounded runner. Motion clears `grounded` at every one-pixel step, so the flip must
// not be judged mid-step: the runner stands on the floor before and after the frame.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>

#include "net/remote_race.h"
#include "platform/clock.h"
#include "world/boost_tela.h"
#include "world/runner.h"
#include "world/world_fixture.h"

namespace {

// A runner that calls `midStep` the first time its motion scans something it may pass through,
// that is inside a one-pixel step, after the step has cleared `grounded`.
class ObservedRunner : public Runner {
  public:
    ObservedRunner(int x, int y) : Runner("", 42, 47, false, 1, x, y) {}
    bool passesThrough(const Objeto& other) const override {
        if (midStep) {
            const std::function<void()> once = std::move(midStep);
            midStep = nullptr;
            once();
        }
        return Runner::passesThrough(other);
    }
    mutable std::function<void()> midStep;
};

TEST(RemoteFlipMidMove, AFlipArrivingWhileAGroundedRunnerMovesIsJudgedWhereTheFrameLeavesIt) {
    RecorderScope server(1);
    SimulatedClockScope clock(0);
    Arena arena(500, 300);
    arena.terrain(0, 201, 499, 210);  // the floor
    ObservedRunner runner(100, 200);
    arena.place(&runner, makecol(0, 0, 101));
    rectfill(arena.bitmap, 100, 153, 142, 200, makecol(255, 255, 255));  // not in its own way
    BoostTela marker(160, 10);  // a column the runner passes through on its way right
    arena.place(&marker, makecol(0, 0, 130));
    // Standing on the floor, running right, with the pull of gravity of one frame.
    setGrounded(runner, true);
    runner.setSpeedX(30);
    setSpeedY(runner, 1.8);

    EstadoControle state;
    RunnerTable table{};
    table[0] = &runner;
    openRemoteRace(state, table);
    bool groundedWhenTheFlipCame = true;
    std::future<void> remote;
    runner.midStep = [&] {
        groundedWhenTheFlipCame = runner.isGrounded();
        remote = std::async(std::launch::async, [&] { flipRemotePlayer(state, 1, 1); });
        // Time for the request thread to act now, if nothing holds it off.
        remote.wait_for(std::chrono::milliseconds(200));
    };
    moveWithRemoteFlipsHeld(state, [&] { runner.move(arena.context()); });
    ASSERT_TRUE(remote.valid()) << "the runner never met the marker: the flip came at no step";
    remote.wait();
    closeRemoteRace(state);

    EXPECT_FALSE(groundedWhenTheFlipCame) << "mid-step, a standing runner reads as airborne";
    EXPECT_EQ(runner.y(), 200);
    EXPECT_TRUE(runner.isGrounded()) << "on the floor after the frame, as before it";
    EXPECT_EQ(runner.x(), 130);
    EXPECT_EQ(runner.gravity(), -1) << "the flip was lost";
}

}  // namespace
