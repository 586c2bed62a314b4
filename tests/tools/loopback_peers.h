// Peers for relay tests, all on 127.0.0.1: a small server in its own thread (an echo server, or
// one that greets and hangs up), a client socket with time limits, and a descriptor count.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "unique_fd.h"

class LoopbackServer {
  public:
    enum class Mode {
        Echo,           // sends the greeting (if any), then back everything it reads; closes when
                        // the peer closes
        GreetAndClose,  // sends the greeting to every connection and closes it at once
    };
    explicit LoopbackServer(Mode mode, std::string greeting = "");
    ~LoopbackServer();

    uint16_t port() const { return port_; }
    // Waits until `count` connections have been closed by their peer; false after `limit`.
    bool waitForPeerCloses(int count, std::chrono::milliseconds limit);

  private:
    void serve();

    Mode mode_;
    std::string greeting_;
    UniqueFd listener_, wakeRead_, wakeWrite_;
    uint16_t port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    int peerCloses_ = 0;
    std::thread thread_;
};

// A blocking client socket connected to 127.0.0.1:port; reads and writes give up after 5 s.
UniqueFd connectToLoopback(uint16_t port);

// Sends `payload` in pieces of `piece` bytes, `gap` apart, while reading; returns what came back
// once as many bytes came back as were sent, or when the peer ends or 10 s pass.
std::string exchangeThrough(int fd, const std::string& payload, size_t piece,
                            std::chrono::microseconds gap);

// True if the peer ended the connection (end of stream or reset) without sending anything more.
bool peerEnds(int fd);

// A port on 127.0.0.1 where nothing listens: bound without listening for as long as this lives,
// so connections to it are refused and no other socket (a relay's own listener, say) gets it.
class PortWithoutListener {
  public:
    PortWithoutListener();
    uint16_t port() const { return port_; }

  private:
    UniqueFd socket_;
    uint16_t port_ = 0;
};

int openDescriptorCount();

// Checks `condition` every few milliseconds until it holds; false after `limit`.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
