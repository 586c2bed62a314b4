// The state the server's game thread shares with the thread that serves remote requests (both
// held by the server's context, server_context.h).
//
// EstadoControle: the runner table of the race in progress and the pause, cheat and activity
// flags. ContadorLogin: how many players a server admits and how many have joined. The flags and
// the counter are atomic: one thread writes each, the other reads it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "world/runner_table.h"

class EstadoControle {
  public:
    // The race's runner table; set after each stage load, read by remote flips while `active`.
    std::atomic<RunnerTable*> players{nullptr};
    std::atomic<bool> paused{false};  // a remote player asked for a pause
    std::atomic<bool> cheat{false};   // a remote player used the cheat
    std::atomic<bool> active{false};  // a networked race's frame loop is running

    // Held around a remote flip's check-and-flip, around clearing `active` (so that the game thread
    // never releases a runner that a remote flip is touching) and around a race frame's motion (so
    // that no flip is judged mid-step); see remote_race.h.
    std::mutex runnersLock;

    EstadoControle() = default;
    EstadoControle(const EstadoControle&) = delete;
    EstadoControle& operator=(const EstadoControle&) = delete;
};

class ContadorLogin {
  public:
    explicit ContadorLogin(int32_t maxPlayers) : maxPlayers(maxPlayers) {}

    const int32_t maxPlayers;
    std::atomic<int32_t> loggedIn{0};
};
