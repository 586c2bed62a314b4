// The window in which remote inputs reach a race, and above all the exclusion between a remote
// flip and the release of the race's runners at a stage's end.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "fake_runners.h"
#include "net/remote_race.h"

namespace {

TEST(RemoteRace, OpeningPointsAtTheTableThenLetsInputsIn) {
    EstadoControle state;
    RunnerTable table{};
    openRemoteRace(state, table);
    EXPECT_EQ(&table, state.players.load());
    EXPECT_TRUE(state.active.load());
    closeRemoteRace(state);
    EXPECT_FALSE(state.active.load());
}

TEST(RemoteRace, FlipBeforeAnyStageWasLoadedIsIgnored) {
    FakeRunnerTable runners;
    EstadoControle state;
    state.flipRunner = flipFakeRunner;
    state.active = true;  // active without a table: nothing to flip, and no crash
    flipRemotePlayer(state, 2, 1);
    state.active = false;
    state.players = &runners.table;  // a table, but no race open
    flipRemotePlayer(state, 2, 1);
    EXPECT_EQ(runners.totalFlips(), 0);

    // The same call reaches the runner once the race is open, and only until it is closed.
    openRemoteRace(state, runners.table);
    flipRemotePlayer(state, 2, 1);
    EXPECT_EQ(runners.flipsOf(1), 1);
    closeRemoteRace(state);
    flipRemotePlayer(state, 2, 1);
    EXPECT_EQ(runners.totalFlips(), 1);
}

// Two threads hammer flips while the game thread runs many short races, each ended by closing
// the race and releasing its runners. No flip may reach a runner after its release: the fake
// runner would count it, and AddressSanitizer/ThreadSanitizer builds would report the use.
TEST(RemoteRace, FlipsHammeredAcrossManyStageEndsNeverReachAReleasedRunner) {
    EstadoControle state;
    state.flipRunner = flipFakeRunner;
    constexpr int kPlayers = 2;
    constexpr int kStages = 1500;
    std::atomic<bool> done{false};
    std::atomic<long> calls{0};

    std::vector<std::thread> remote;
    for (int player = 1; player <= kPlayers; ++player) {
        remote.emplace_back([&, player] {
            while (!done.load()) {
                flipRemotePlayer(state, kPlayers, player);
                ++calls;
            }
        });
    }

    int flipsReachingRunners = 0;
    int flipsAfterRelease = 0;
    RunnerTable table{};
    for (int stage = 0; stage < kStages; ++stage) {
        std::vector<std::unique_ptr<FakeRunner>> runners;
        for (int i = 0; i < kPlayers; ++i) {
            runners.emplace_back(new FakeRunner());
            table[i] = &runners.back()->asRunner();
        }
        openRemoteRace(state, table);
        // Let a few flips in, or at least give them the chance.
        const long before = calls.load();
        while (calls.load() - before < 4) std::this_thread::yield();
        closeRemoteRace(state);
        for (int i = 0; i < kPlayers; ++i) {
            table[i] = nullptr;
            runners[i]->alive = false;
        }
        // A flip that slipped past the release would now be looking at a dead runner.
        for (int i = 0; i < 20; ++i) std::this_thread::yield();
        for (auto& runner : runners) {
            flipsReachingRunners += runner->flips.load();
            flipsAfterRelease += runner->flipsWhileDead.load();
        }
        runners.clear();  // released: any later touch is a use after free
    }
    done = true;
    for (auto& thread : remote) thread.join();

    EXPECT_EQ(0, flipsAfterRelease);
    EXPECT_GT(flipsReachingRunners, 0) << "the races never let a flip in: the test proved nothing";
}

}  // namespace
