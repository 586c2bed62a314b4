// PlayoutDelay: when a client shows each picture it receives.
//
// The server stamps each picture with its flush time on the server's clock. Pictures reach the
// client bunched (several in one answer, or held up on the way), so a client that showed each as
// it arrived would show only the last of a bunch. Instead each picture is shown at its flush time
// plus a level: the time pictures take to arrive, on this clock, as the latest of the recent ones
// took (the 95th percentile of the last kSamples, plus a small margin). Pictures drawn 34 ms apart
// are then shown 34 ms apart, however they travelled.
//
// The level rises at once to the measured one and falls slowly (by a sixteenth of the time
// between two pictures, 2 ms in a race), so one quick answer does not make the next ones late. It
// stays within kMaxDelayMs of the quickest recent picture, no picture is held longer than
// kMaxDelayMs after it arrived, and one that arrives after its time is due at once. The two clocks
// need not agree: only differences of their readings count.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

class PlayoutDelay {
  public:
    static constexpr int64_t kMaxDelayMs = 300;
    static constexpr size_t kSamples = 90;  // about three seconds of race
    static constexpr int64_t kMarginMs = 6;

    // A picture flushed at `flushMs` (the server's clock) arrived at `arrivedMs` (this clock):
    // when to show it, on this clock.
    int64_t dueMs(int64_t flushMs, int64_t arrivedMs);
    // How much later than the quickest recent picture a picture is shown: the delay the play-out
    // adds to the way, 0 to kMaxDelayMs.
    int64_t delayMs() const;

  private:
    std::deque<int64_t> transits;  // arrivedMs - flushMs of the last pictures
    std::optional<int64_t> level;
    std::optional<int64_t> lastFlushMs;
};
