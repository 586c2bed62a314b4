// The state the server's game thread shares with the thread that serves remote requests (both
// held by the server's context, server_context.h).
//
// EstadoControle: the runner table of the race in progress, the pause (whose it is, and when each
// player may pause again), the cheat and activity flags, and whether this server lets the cheat
// work at all, and how a remote flip reaches a runner. The flags are atomic: one thread writes
// each, the other reads it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "net/runner_flip.h"
#include "world/runner_table.h"

// How a remote flip reaches a runner.
using RunnerFlip = void (*)(Runner& runner);

class EstadoControle {
  public:
    // The runner table of the race in progress (its stage's); set when the race opens, cleared when
    // it closes, read by remote flips while `active`.
    std::atomic<const RunnerTable*> players{nullptr};
    std::atomic<bool> paused{false};  // a remote player asked for a pause
    std::atomic<bool> cheat{false};   // a remote player used the cheat
    std::atomic<bool> active{false};  // a networked race's frame loop is running
    // The host allowed the cheat (corrida servidor N --truques); without it usarCheat does nothing.
    bool cheatsAllowed = false;
    // The runner's own atomic grounded-only flip; a test may point it at stand-in runners. Set it
    // only while no remote flip can run (before the race opens).
    RunnerFlip flipRunner = flipRunnerGravity;

    // Under runnersLock: the player whose pause holds the race (0: none), since when, and, per
    // player number, when that player may pause again.
    int pausedBy = 0;
    int64_t pausedSinceMs = 0;
    std::array<int64_t, kMaxPlayers + 1> pauseAllowedFromMs{};

    // Held around a remote flip's check-and-flip, around clearing `active` (so that the game thread
    // never releases a runner that a remote flip is touching) and around a race frame's motion (so
    // that no flip is judged mid-step); see remote_race.h.
    std::mutex runnersLock;

    EstadoControle() = default;
    EstadoControle(const EstadoControle&) = delete;
    EstadoControle& operator=(const EstadoControle&) = delete;
};
