#include "platform/clock.h"

#include <allegro.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct ProcessClock {
    std::atomic<bool> simulated{false};
    std::atomic<int64_t> simulatedNow{0};
    std::function<void(int64_t)> sleepHook;  // only touched by the thread driving a simulation
};
// Process-wide: every wait, animation and physics step reads it, the graphics library's timer
// thread among them, and a test switches them all to the simulated clock at once.
ProcessClock theClock;

int64_t realNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int64_t clockMs() { return theClock.simulated.load() ? theClock.simulatedNow.load() : realNow(); }

void sleepMs(int64_t ms) {
    if (ms < 1) ms = 1;
    if (theClock.simulated.load()) {
        int64_t now = theClock.simulatedNow.fetch_add(ms) + ms;
        if (theClock.sleepHook) theClock.sleepHook(now);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void waitMoreThan(int64_t limitMs) {
    const int64_t start = clockMs();
    for (int64_t elapsed = 0; (elapsed = clockMs() - start) <= limitMs;) {
        sleepMs(limitMs + 1 - elapsed);
    }
}

void restBetweenPolls() {
    if (theClock.simulated.load()) {
        sleepMs(1);
    } else {
        rest(1);
    }
}

void useSimulatedClock(int64_t startMs) {
    theClock.simulatedNow.store(startMs);
    theClock.simulated.store(true);
}

void advanceSimulatedClock(int64_t ms) { theClock.simulatedNow.fetch_add(ms); }

void useRealClock() {
    theClock.simulated.store(false);
    theClock.sleepHook = nullptr;
}

bool isClockSimulated() { return theClock.simulated.load(); }

void setSleepHook(std::function<void(int64_t)> hook) { theClock.sleepHook = std::move(hook); }
