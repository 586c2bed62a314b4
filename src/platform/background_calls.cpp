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

// The library's background functions and the thread that runs them.
class BackgroundManager {
  public:
    int start();
    void stop();
    int registerFunction(bg_func f);
    int unregisterFunction(bg_func f);
    void enableCalls();
    void disableCalls();
    int callsDisabled();
    long rounds() const { return rounds_.load(); }

  private:
    void runRounds();
    std::unique_lock<std::mutex> lockUnlessOnThread();

    // One mutex for everything, as the library's own manager has: the functions run under it, and
    // DISABLE() waits for a round to end.
    std::mutex guard_;
    std::condition_variable wake_;     // the thread is asked to stop
    std::condition_variable enabled_;  // DISABLE()s all undone
    bg_func functions_[kMaxFunctions] = {};
    int functionCount_ = 0;  // highest used entry + 1
    int disabledCount_ = 0;
    bool alive_ = false;
    std::thread thread_;
    std::atomic<long> rounds_{0};
};

// Process-wide: the library calls its background manager through plain functions, with no
// context, for as long as the process runs.
BackgroundManager manager;

void BackgroundManager::runRounds() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock<std::mutex> lock(guard_);
    auto due = std::chrono::steady_clock::now() + kPeriod;
    while (alive_) {
        if (wake_.wait_until(lock, due, [this] { return !alive_; })) break;
        const auto now = std::chrono::steady_clock::now();
        if (now < due) continue;
        due += kPeriod;
        if (due <= now) due = now + kPeriod;  // late by more than a round: no burst to catch up
        enabled_.wait(lock, [this] { return disabledCount_ <= 0 || !alive_; });
        if (!alive_) break;
        for (int i = 0; i < functionCount_; ++i) {
            if (functions_[i]) functions_[i](1);
        }
        ++rounds_;
    }
}

int BackgroundManager::start() {
    std::lock_guard<std::mutex> lock(guard_);
    for (bg_func& f : functions_) f = nullptr;
    functionCount_ = 0;
    disabledCount_ = 0;
    alive_ = true;
    rounds_ = 0;
    try {
        thread_ = std::thread(&BackgroundManager::runRounds, this);
    } catch (const std::system_error&) {
        alive_ = false;
        return -1;
    }
    return 0;
}

void BackgroundManager::stop() {
    {
        std::lock_guard<std::mutex> lock(guard_);
        if (!alive_) return;
        alive_ = false;
    }
    wake_.notify_all();
    enabled_.notify_all();
    if (thread_.joinable()) thread_.join();
}

// The table is changed under the lock, except by a background function itself (which runs under
// it already).
std::unique_lock<std::mutex> BackgroundManager::lockUnlessOnThread() {
    if (std::this_thread::get_id() == thread_.get_id()) return {};
    return std::unique_lock<std::mutex>(guard_);
}

int BackgroundManager::registerFunction(bg_func f) {
    const auto lock = lockUnlessOnThread();
    int i = 0;
    while (i < kMaxFunctions && functions_[i]) ++i;
    if (i == kMaxFunctions) return -1;
    functions_[i] = f;
    if (i == functionCount_) ++functionCount_;
    return 0;
}

int BackgroundManager::unregisterFunction(bg_func f) {
    const auto lock = lockUnlessOnThread();
    int i = 0;
    while (i < functionCount_ && functions_[i] != f) ++i;
    if (i == functionCount_) return -1;
    functions_[i] = nullptr;
    while (functionCount_ > 0 && !functions_[functionCount_ - 1]) --functionCount_;
    return 0;
}

void BackgroundManager::enableCalls() {
    std::lock_guard<std::mutex> lock(guard_);
    if (--disabledCount_ == 0) enabled_.notify_all();
}

void BackgroundManager::disableCalls() {
    std::lock_guard<std::mutex> lock(guard_);
    ++disabledCount_;
}

int BackgroundManager::callsDisabled() {
    std::lock_guard<std::mutex> lock(guard_);
    return disabledCount_;
}

}  // namespace

void useSleepingBackgroundThread() {
    // The X11 system driver takes _bg_man_pthreads as its manager when the library starts: its
    // entries are replaced, before that, by these.
    _bg_man_pthreads.multi_threaded = 1;
    _bg_man_pthreads.init = [] { return manager.start(); };
    _bg_man_pthreads.exit = [] { manager.stop(); };
    _bg_man_pthreads.register_func = [](bg_func f) { return manager.registerFunction(f); };
    _bg_man_pthreads.unregister_func = [](bg_func f) { return manager.unregisterFunction(f); };
    _bg_man_pthreads.enable_interrupts = [] { manager.enableCalls(); };
    _bg_man_pthreads.disable_interrupts = [] { manager.disableCalls(); };
    _bg_man_pthreads.interrupts_disabled = [] { return manager.callsDisabled(); };
}

long backgroundRounds() { return manager.rounds(); }
