#include "net/audience_sweep.h"

#include <chrono>

#include "platform/clock.h"

AudienceSweep::AudienceSweep(Audience& audience, int64_t everyMs)
    : audience(audience), thread([this, everyMs] { run(everyMs); }) {}

AudienceSweep::~AudienceSweep() {
    {
        std::lock_guard<std::mutex> hold(lock);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
}

void AudienceSweep::run(int64_t everyMs) {
    std::unique_lock<std::mutex> hold(lock);
    while (!wake.wait_for(hold, std::chrono::milliseconds(everyMs), [this] { return stopping; })) {
        audience.sweep(clockMs());
    }
}
