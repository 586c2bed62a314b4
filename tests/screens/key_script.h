// Scripted key presses for screen tests: the keys go down and up at given times of the simulated
// clock, applied whenever the code under test sleeps (every wait of the game sleeps on the clock
// seam). A script also bounds the run: past its time limit the next sleep throws TimeLimitReached,
// so a screen that never returns fails its test instead of hanging it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct TimeLimitReached {
    int64_t nowMs;
};

class KeyScript {
  public:
    // Times are milliseconds of the simulated clock since start().
    KeyScript& down(int64_t atMs, int scancode);
    KeyScript& up(int64_t atMs, int scancode);
    // Down at `atMs`, up `holdMs` later, as a person's press.
    KeyScript& press(int64_t atMs, int scancode, int64_t holdMs = 100);
    // Runs `action` once when the clock reaches `atMs`.
    KeyScript& call(int64_t atMs, std::function<void()> action);

    // Switches to the simulated clock at 0 and installs the script as the sleep hook.
    void start(int64_t timeLimitMs = 600000);
    // Back to the real clock, keyboard cleared.
    static void stop();

  private:
    struct Event {
        int64_t atMs;
        std::function<void()> action;
    };
    void applyUntil(int64_t now);

    std::vector<Event> events;
    size_t nextEvent = 0;
};

void clearAllKeys();
