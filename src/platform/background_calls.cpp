#include "platform/background_calls.h"

#include <allegro.h>
// The library's Unix background manager, as its platform header declares it.
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr auto kPeriod = std::chrono::milliseconds(10);
constexpr int kMaxFunctions = 16;

// One mutex for everything, as the library's own manager has: the functions run under it, and
// DISABLE() waits for a round to end.
std::mutex guard;
std::condition_variable wake;     // the thread is asked to stop
std::condition_variable enabled;  // DISABLE()s all undone
bg_func functions[kMaxFunctions];
int functionCount = 0;  // highest used entry + 1
int disabledCount = 0;
bool alive = false;
std::thread thread;
std::atomic<long> rounds{0};

void runRounds() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock<std::mutex> lock(guard);
    auto due = std::chrono::steady_clock::now() + kPeriod;
    while (alive) {
        if (wake.wait_until(lock, due, [] { return !alive; })) break;
        const auto now = std::chrono::steady_clock::now();
        if (now < due) continue;
        due += kPeriod;
        if (due <= now) due = now + kPeriod;  // late by more than a round: no burst to catch up
        enabled.wait(lock, [] { return disabledCount <= 0 || !alive; });
        if (!alive) break;
        for (int i = 0; i < functionCount; ++i) {
            if (functions[i]) functions[i](1);
        }
        ++rounds;
    }
}

int start() {
    std::lock_guard<std::mutex> lock(guard);
    for (bg_func& f : functions) f = nullptr;
    functionCount = 0;
    disabledCount = 0;
    alive = true;
    rounds = 0;
    try {
        thread = std::thread(runRounds);
    } catch (const std::system_error&) {
        alive = false;
        return -1;
    }
    return 0;
}

void stop() {
    {
        std::lock_guard<std::mutex> lock(guard);
        if (!alive) return;
        alive = false;
    }
    wake.notify_all();
    enabled.notify_all();
    if (thread.joinable()) thread.join();
}

// The table is changed under the lock, except by a background function itself (which runs under
// it already).
std::unique_lock<std::mutex> lockUnlessOnThread() {
    if (std::this_thread::get_id() == thread.get_id()) return {};
    return std::unique_lock<std::mutex>(guard);
}

int registerFunction(bg_func f) {
    const auto lock = lockUnlessOnThread();
    int i = 0;
    while (i < kMaxFunctions && functions[i]) ++i;
    if (i == kMaxFunctions) return -1;
    functions[i] = f;
    if (i == functionCount) ++functionCount;
    return 0;
}

int unregisterFunction(bg_func f) {
    const auto lock = lockUnlessOnThread();
    int i = 0;
    while (i < functionCount && functions[i] != f) ++i;
    if (i == functionCount) return -1;
    functions[i] = nullptr;
    while (functionCount > 0 && !functions[functionCount - 1]) --functionCount;
    return 0;
}

void enableCalls() {
    std::lock_guard<std::mutex> lock(guard);
    if (--disabledCount == 0) enabled.notify_all();
}

void disableCalls() {
    std::lock_guard<std::mutex> lock(guard);
    ++disabledCount;
}

int callsDisabled() {
    std::lock_guard<std::mutex> lock(guard);
    return disabledCount;
}

}  // namespace

void useSleepingBackgroundThread() {
    // The X11 system driver takes _bg_man_pthreads as its manager when the library starts: its
    // entries are replaced, before that, by these.
    _bg_man_pthreads.multi_threaded = 1;
    _bg_man_pthreads.init = start;
    _bg_man_pthreads.exit = stop;
    _bg_man_pthreads.register_func = registerFunction;
    _bg_man_pthreads.unregister_func = unregisterFunction;
    _bg_man_pthreads.enable_interrupts = enableCalls;
    _bg_man_pthreads.disable_interrupts = disableCalls;
    _bg_man_pthreads.interrupts_disabled = callsDisabled;
}

long backgroundRounds() { return rounds.load(); }
