#include "net/audience.h"

#include <algorithm>

Audience::Audience(uint16_t firstNumber, QueueChange openQueue, QueueChange closeQueue, int total)
    : firstNumber(firstNumber),
      total(std::clamp(total, 0, kMostSpectators)),
      perAddress(perAddressFor(this->total)),
      openQueue(std::move(openQueue)),
      closeQueue(std::move(closeQueue)) {}

void Audience::expire(int64_t nowMs) {
    for (auto entry = held.begin(); entry != held.end();) {
        if (nowMs - entry->second.lastSeenMs <= kLapseMs) {
            ++entry;
            continue;
        }
        closeQueue(entry->first);
        entry = held.erase(entry);
    }
}

int Audience::join(const std::string& host, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    if (held.size() >= static_cast<size_t>(total)) return -1;
    const auto fromHost = std::count_if(
        held.begin(), held.end(), [&](const auto& entry) { return entry.second.host == host; });
    if (fromHost >= perAddress) return -1;
    uint16_t number = firstNumber;
    while (held.count(number) != 0) ++number;  // the lowest free: numbers stay small
    held[number] = Holder{host, nowMs};
    openQueue(number);
    return number;
}

bool Audience::fetchAllowed(int viewer, const std::string& host, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    const auto holder = held.find(static_cast<uint16_t>(viewer));
    if (!isSpectatorNumber(viewer) || holder == held.end() || holder->second.host != host) {
        return false;
    }
    holder->second.lastSeenMs = nowMs;
    return true;
}

void Audience::leave(int viewer, const std::string& host) {
    std::lock_guard<std::mutex> hold(lock);
    const auto holder = held.find(static_cast<uint16_t>(viewer));
    if (!isSpectatorNumber(viewer) || holder == held.end() || holder->second.host != host) return;
    closeQueue(holder->first);
    held.erase(holder);
}

bool Audience::isSpectatorNumber(int viewer) const {
    return viewer >= firstNumber && viewer < firstNumber + total;
}

void Audience::sweep(int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
}

int Audience::watching(int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    return static_cast<int>(held.size());
}
