// MessageRate: how often one browser may speak. A browser sends a flip per tap, a pause now and
// then, and a ping every few seconds; a peer that sends more than kPerSecond messages a second on
// average, beyond a burst of kBurst, is no player and loses its connection. Time is given by the
// caller.
#pragma once

#include <cstdint>

class MessageRate {
  public:
    static constexpr int64_t kPerSecond = 30;
    static constexpr int64_t kBurst = 60;

    explicit MessageRate(int64_t nowMs) : lastMs(nowMs) {}

    // Whether one more message at `nowMs` keeps within the rate; one that does is counted.
    bool admit(int64_t nowMs);

  private:
    // Allowance in thousandths of a message, so whole milliseconds add exact amounts.
    int64_t allowance = kBurst * 1000;
    int64_t lastMs;
};
