// The delay relay: listens on 127.0.0.1, opens a connection to the target for every client it
// accepts, and moves the bytes both ways through delayed queues, in one thread around one poll.
//
// The poll sleeps until a socket is ready or the next held chunk is due, timed to the nanosecond
// on the monotonic clock, so the relay neither spins nor releases a chunk later than the wake-up
// latency. requestStop() may be called from any thread or from a signal handler; run() then
// returns, and destroying the server closes every socket it holds.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "relay_connection.h"
#include "release_schedule.h"
#include "socket_ops.h"
#include "unique_fd.h"

class RelayServer {
  public:
    struct Settings {
        uint16_t listenPort = 0;  // 0: any free port
        TargetAddress target;
        std::chrono::milliseconds delay{0};
        std::chrono::milliseconds jitter{0};
        uint64_t seed = 0;
    };
    // Receives a line for every failure that does not stop the relay (a target that refused).
    using Reporter = std::function<void(const std::string&)>;

    // Listening already, or null with `error` set.
    static std::unique_ptr<RelayServer> start(const Settings& settings, std::string& error,
                                              Reporter report = {});

    uint16_t port() const { return port_; }
    // Relays until requestStop(); false if the poll itself failed.
    bool run();
    // Async-signal-safe.
    void requestStop() const;
    // Async-signal-safe: run() soon hands carried() to the reporter as a "carried ..." line,
    // followed by a "connection from port ..." line for each connection of carriedByConnection().
    void requestCarriedReport() const;

    // Every byte read from clients (and from the target) so far, over all connections: what the
    // relay carried on the wire each way, the protocol's own bytes included.
    struct Carried {
        uint64_t fromClients = 0;
        uint64_t fromTargets = 0;
    };
    Carried carried() const;
    // The same for each connection still open, by the port its client connects from.
    struct ConnectionCarried {
        uint16_t clientPort = 0;
        Carried carried;
    };
    std::vector<ConnectionCarried> carriedByConnection() const;

  private:
    RelayServer(const Settings& settings, Reporter report);
    void acceptClients();
    void say(const std::string& line) const;
    void wake(char byte) const;
    // Reads the wake pipe: true when a stop was asked.
    bool readWakes();

    Settings settings_;
    Reporter report_;
    JitterSource jitter_;
    UniqueFd listener_;
    UniqueFd wakeRead_, wakeWrite_;
    uint16_t port_ = 0;
    RelayClock::time_point acceptPausedUntil_{};
    std::vector<std::unique_ptr<RelayConnection>> connections_;
    Carried carriedByClosed_;
    std::vector<char> readBuffer_;
};
