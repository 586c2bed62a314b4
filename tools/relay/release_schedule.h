// When the bytes of one direction of a relayed connection may be written on.
//
// Each chunk read is held for the fixed delay plus a random offset in [-jitter, +jitter], never
// less than nothing, and never released before the chunk read ahead of it in the same direction:
// the bytes of a direction keep their order whatever the offsets are.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>

using RelayClock = std::chrono::steady_clock;

// The random offsets, one source per relay: a fixed seed gives the same offsets in the same order.
class JitterSource {
  public:
    JitterSource(std::chrono::milliseconds jitter, uint64_t seed);
    // Uniform in [-jitter, +jitter], to the microsecond.
    std::chrono::microseconds next();

  private:
    std::mt19937_64 engine_;
    std::uniform_int_distribution<int64_t> offsetUs_;
};

class ReleaseSchedule {
  public:
    ReleaseSchedule(std::chrono::milliseconds delay, JitterSource& jitter)
        : delay_(delay), jitter_(jitter) {}
    // The release time of a chunk read at `readAt`; calls come in read order.
    RelayClock::time_point releaseTimeFor(RelayClock::time_point readAt);

  private:
    std::chrono::milliseconds delay_;
    JitterSource& jitter_;
    std::optional<RelayClock::time_point> previous_;
};
