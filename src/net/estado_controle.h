// The state the server's game thread shares with the thread that serves remote requests.
//
// EstadoControle: the runner table of the race in progress and the pause, cheat and activity
// flags. ContadorLogin: how many players a server admits and how many have joined. Each exists
// once per process, is created on its first instance() call and never destroyed. The flags and
// the counter are atomic: one thread writes each, the other reads it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "world/runner_table.h"

class EstadoControle {
  public:
    static EstadoControle& instance();

    // The race's runner table; set after each stage load, read by remote flips while `active`.
    std::atomic<RunnerTable*> players{nullptr};
    std::atomic<bool> paused{false};  // a remote player asked for a pause
    std::atomic<bool> cheat{false};   // a remote player used the cheat
    std::atomic<bool> active{false};  // a networked race's frame loop is running

    // Held only around a remote flip's check-and-flip and around clearing `active`, so that the
    // game thread never releases a runner that a remote flip is touching (see remote_race.h).
    std::mutex runnersLock;

    // A free-standing record for tests; the process's own is reached through instance().
    EstadoControle() = default;
    EstadoControle(const EstadoControle&) = delete;
    EstadoControle& operator=(const EstadoControle&) = delete;
};

class ContadorLogin {
  public:
    // Created with `maxPlayers` on the first call; later arguments are ignored.
    static ContadorLogin& instance(int32_t maxPlayers = 0);

    // A free-standing counter for tests; the process's own is reached through instance().
    explicit ContadorLogin(int32_t maxPlayers) : maxPlayers(maxPlayers) {}

    const int32_t maxPlayers;
    std::atomic<int32_t> loggedIn{0};
};
