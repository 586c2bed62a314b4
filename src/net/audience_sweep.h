// AudienceSweep: the audience's own timer. Every `everyMs` it lets the spectators that left lapse
// (Audience::sweep), so the queue of a spectator that stopped fetching closes soon after its lapse
// whoever else fetches or not. It runs on a thread of its own, from construction to destruction.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "net/audience.h"

class AudienceSweep {
  public:
    static constexpr int64_t kEveryMs = 1000;

    explicit AudienceSweep(Audience& audience, int64_t everyMs = kEveryMs);
    ~AudienceSweep();
    AudienceSweep(const AudienceSweep&) = delete;
    AudienceSweep& operator=(const AudienceSweep&) = delete;

  private:
    void run(int64_t everyMs);

    Audience& audience;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;  // last: it starts once the rest is made
};
