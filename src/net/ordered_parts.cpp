#include "net/ordered_parts.h"

#include <chrono>

bool OrderedParts::put(uint64_t part, std::string body) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (part < expected || waiting.count(part)) return true;
        if (part - expected >= maxParts || waiting.size() >= maxParts ||
            body.size() > maxBytes - bytesWaiting) {
            return false;
        }
        bytesWaiting += body.size();
        waiting.emplace(part, std::move(body));
    }
    arrived.notify_all();
    return true;
}

std::optional<std::string> OrderedParts::next(const std::function<bool()>& keepGoing) {
    bool opensStream = false;
    return next(keepGoing, opensStream);
}

std::optional<std::string> OrderedParts::next(const std::function<bool()>& keepGoing,
                                              bool& opensStream) {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        if (!keepGoing()) return std::nullopt;
        auto first = waiting.begin();
        if (first != waiting.end() && first->first == expected) {
            std::string body = std::move(first->second);
            waiting.erase(first);
            bytesWaiting -= body.size();
            opensStream = expected == freshFrom;
            ++expected;
            return body;
        }
        // keepGoing may change without a wake (Escape read from the keyboard): look again soon.
        arrived.wait_for(hold, std::chrono::milliseconds(20));
    }
}

void OrderedParts::restartAt(uint64_t part) {
    {
        std::lock_guard<std::mutex> hold(lock);
        waiting.clear();
        bytesWaiting = 0;
        expected = part;
        freshFrom = part;
    }
    arrived.notify_all();
}

void OrderedParts::wake() {
    { std::lock_guard<std::mutex> hold(lock); }
    arrived.notify_all();
}
