// How a client's session ended when it was not by Escape: the first failure's message, and a flag
// every loop of the session watches, so that one thread's failure ends the others too.
#pragma once

#include <allegro.h>

#include <atomic>
#include <mutex>
#include <string>

#include "net/stop_request.h"

struct SessionEnd {
    std::atomic<bool> over{false};
    std::mutex lock;
    std::string reason;

    void fail(const std::string& message) {
        std::lock_guard<std::mutex> hold(lock);
        if (reason.empty()) reason = message;
        over = true;
    }
    bool keepGoing() const { return !key[KEY_ESC] && !over.load() && !stopRequested(); }
};
