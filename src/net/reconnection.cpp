#include "net/reconnection.h"

#include "platform/clock.h"

uint64_t Reconnection::generation() {
    std::lock_guard<std::mutex> hold(lock);
    return recoveries;
}

bool Reconnection::recover(uint64_t generation, bool& placeLost) {
    placeLost = false;
    std::lock_guard<std::mutex> hold(lock);
    if (recoveries != generation) return true;  // recovered by another call meanwhile
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (attempt > 0) sleepMs(kPauseBetweenTriesMs);
        try {
            const std::optional<uint64_t> next = rejoin();
            if (!next) {
                placeLost = true;
                return false;
            }
            parts.restartAt(*next);
            ++recoveries;
            return true;
        } catch (const CORBA::Exception& failure) {
            if (!isLostConnection(failure)) return false;
        }
    }
    return false;
}

bool isLostConnection(const CORBA::Exception& failure) {
    return CORBA::COMM_FAILURE::_downcast(&failure) != nullptr ||
           CORBA::TRANSIENT::_downcast(&failure) != nullptr;
}
