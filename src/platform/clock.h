// The process clock and sleeping, in whole milliseconds, behind one seam.
//
// Every wait, every animation and the gravity of the game read the clock here. By default it is
// the real monotonic clock; a test or a tool switches it to a simulated clock that only moves when
// it is told to (or when somebody sleeps on it), so that physics and screens run deterministically
// frame by frame. The clock may be read from any thread.
#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since an arbitrary origin (1000 ticks per second).
int64_t clockMs();

// Sleeps about `ms` milliseconds (at least 1). On the simulated clock it advances the clock by `ms`
// and then runs the sleep hook, if any, so that a test can change the keyboard at a given time.
void sleepMs(int64_t ms);

// A timed wait: returns at the first clock reading whose whole milliseconds since the call are
// greater than `limitMs` (a wait of more than 33 ms ends at the first reading of 34 ms or more).
// It sleeps between readings instead of spinning.
void waitMoreThan(int64_t limitMs);

// The pause between two looks of a wait for a key or a flag (the graphics library's rest(1)).
void restBetweenPolls();

// Switches to a simulated clock that reads `startMs` until advanced.
void useSimulatedClock(int64_t startMs = 0);
// Moves the simulated clock forward by `ms`.
void advanceSimulatedClock(int64_t ms);
// Back to the real clock (and no sleep hook).
void useRealClock();
bool isClockSimulated();
// Runs after every simulated sleep with the clock's new reading; empty to remove.
void setSleepHook(std::function<void(int64_t nowMs)> hook);
