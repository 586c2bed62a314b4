#include "net/ordered_parts.h"

#include <chrono>

#include "platform/clock.h"

namespace {

// keepGoing may change without a wake (Escape read from the keyboard): waits look again this often.
constexpr std::chrono::milliseconds kLookAgain(20);

}  // namespace

bool OrderedParts::put(uint64_t part, std::string body) {
    const int64_t now = clockMs();
    {
        std::lock_guard<std::mutex> hold(lock);
        if (part < expected || waiting.count(part)) return true;
        if (part - expected >= maxParts || body.size() > maxBytes - bytesWaiting) return false;
        bytesWaiting += body.size();
        waiting.emplace(part, Answer{std::move(body), now, false});
    }
    arrived.notify_all();
    return true;
}

bool OrderedParts::backlogFull() const {
    size_t parts = 0;
    size_t bytes = 0;
    uint64_t next = expected;
    for (auto at = waiting.find(next); at != waiting.end() && at->first == next; ++at, ++next) {
        ++parts;
        bytes += at->second.body.size();
    }
    return parts >= kBacklogParts || bytes >= kBacklogBytes;
}

void OrderedParts::awaitRoom(const std::function<bool()>& keepGoing) {
    std::unique_lock<std::mutex> hold(lock);
    while (backlogFull() && keepGoing()) roomMade.wait_for(hold, kLookAgain);
}

std::optional<OrderedParts::Answer> OrderedParts::take(const std::function<bool()>& keepGoing,
                                                       int64_t waitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        if (!keepGoing()) return std::nullopt;
        auto first = waiting.begin();
        if (first != waiting.end() && first->first == expected) {
            Answer answer = std::move(first->second);
            waiting.erase(first);
            bytesWaiting -= answer.body.size();
            answer.opensStream = expected == freshFrom;
            ++expected;
            hold.unlock();
            roomMade.notify_all();
            return answer;
        }
        if (waitMs < 0) {
            arrived.wait_for(hold, kLookAgain);
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return std::nullopt;
        arrived.wait_for(hold,
                         std::min<std::chrono::steady_clock::duration>(until - now, kLookAgain));
    }
}

std::optional<std::string> OrderedParts::next(const std::function<bool()>& keepGoing) {
    std::optional<Answer> answer = take(keepGoing);
    if (!answer) return std::nullopt;
    return std::move(answer->body);
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
    roomMade.notify_all();
}

void OrderedParts::wake() {
    { std::lock_guard<std::mutex> hold(lock); }
    arrived.notify_all();
    roomMade.notify_all();
}
