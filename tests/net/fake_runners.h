// Stand-in runners for the network tests: the remote flip reaches them through flipFakeRunner (set
// as the control state's `flipRunner`) instead of the game world's runners, so a test can see which
// runner a remote call flipped and whether that runner was still alive.
#pragma once

#include <array>
#include <atomic>

#include "net/remote_race.h"

struct FakeRunner {
    std::atomic<bool> alive{true};
    std::atomic<int> flips{0};
    std::atomic<int> flipsWhileDead{0};

    Runner& asRunner() { return *reinterpret_cast<Runner*>(this); }
    static FakeRunner& of(Runner& runner) { return *reinterpret_cast<FakeRunner*>(&runner); }
};

// Counts flips on the fake runner, and notices a flip that reaches a released one.
void flipFakeRunner(Runner& runner);

// Six fake runners and a runner table that points at them.
struct FakeRunnerTable {
    std::array<FakeRunner, kMaxPlayers> runners;
    RunnerTable table{};

    FakeRunnerTable() {
        for (int i = 0; i < kMaxPlayers; ++i) table[i] = &runners[i].asRunner();
    }
    int flipsOf(int player) const { return runners[player - 1].flips.load(); }
    int totalFlips() const {
        int total = 0;
        for (const FakeRunner& runner : runners) total += runner.flips.load();
        return total;
    }
};
