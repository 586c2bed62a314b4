#include "platform/clock.h"

#include <allegro.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> simulated{false};
std::atomic<int64_t> simulatedNow{0};
std::function<void(int64_t)> sleepHook;  // only touched by the thread driving a simulation

int64_t realNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int64_t clockMs() { return simulated.load() ? simulatedNow.load() : realNow(); }

void sleepMs(int64_t ms) {
    if (ms < 1) ms = 1;
    if (simulated.load()) {
        int64_t now = simulatedNow.fetch_add(ms) + ms;
        if (sleepHook) sleepHook(now);
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
    if (simulated.load()) {
        sleepMs(1);
    } else {
        rest(1);
    }
}

void useSimulatedClock(int64_t startMs) {
    simulatedNow.store(startMs);
    simulated.store(true);
}

void advanceSimulatedClock(int64_t ms) { simulatedNow.fetch_add(ms); }

void useRealClock() {
    simulated.store(false);
    sleepHook = nullptr;
}

bool isClockSimulated() { return simulated.load(); }

void setSleepHook(std::function<void(int64_t)> hook) { sleepHook = std::move(hook); }
