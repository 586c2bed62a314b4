#include "net/calls_in_flight.h"

std::optional<CallsInFlight::Admission> CallsInFlight::admit(const std::string& host) {
    std::lock_guard<std::mutex> hold(lock);
    int& count = held[host];
    if (count >= perAddress) return std::nullopt;
    ++count;
    return Admission(*this, host);
}

int CallsInFlight::heldBy(const std::string& host) const {
    std::lock_guard<std::mutex> hold(lock);
    const auto entry = held.find(host);
    return entry == held.end() ? 0 : entry->second;
}

void CallsInFlight::release(const std::string& host) {
    std::lock_guard<std::mutex> hold(lock);
    const auto entry = held.find(host);
    if (entry != held.end() && --entry->second <= 0) held.erase(entry);
}
