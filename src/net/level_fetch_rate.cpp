#include "net/level_fetch_rate.h"

#include <algorithm>

namespace {

constexpr int64_t kMinuteMs = 60000;

}  // namespace

bool LevelFetchRate::admit(const std::string& host, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock_);
    if (calls_.size() >= kAddresses && calls_.count(host) == 0) {
        // Forget the address whose latest call is the oldest.
        auto oldest = std::min_element(calls_.begin(), calls_.end(), [](auto& a, auto& b) {
            return a.second.back() < b.second.back();
        });
        calls_.erase(oldest);
    }
    std::deque<int64_t>& times = calls_[host];
    while (!times.empty() && nowMs - times.front() >= kMinuteMs) times.pop_front();
    if (int(times.size()) >= kPerMinute) return false;
    times.push_back(nowMs);
    return true;
}
