#include "net/player_slots.h"

#include <algorithm>
#include <random>

#include "net/fetch_ticket.h"

PlayerSlots::PlayerSlots(int playerCount, SecretSource secrets)
    : slots(static_cast<size_t>(std::max(playerCount, 0))), secrets(std::move(secrets)) {}

std::string PlayerSlots::randomSecret() {
    std::random_device source;
    static const char digits[] = "0123456789abcdef";
    std::string secret;
    for (int i = 0; i < 4; ++i) {
        uint32_t bits = source();
        for (int j = 0; j < 8; ++j, bits >>= 4) secret += digits[bits & 15];
    }
    return secret;
}

void PlayerSlots::expire(int64_t nowMs) {
    for (Slot& slot : slots) {
        if (!slot.held) continue;
        if (slot.lastFetchMs < 0 && nowMs - slot.joinedMs > kFirstFetchWithinMs) {
            slot.held = false;
            neglectedAt[slot.host] = nowMs;
        } else if (slot.lastFetchMs >= 0 && nowMs - slot.lastFetchMs > kDepartedAfterMs) {
            slot.held = false;
        }
    }
    const auto forget = [nowMs](std::map<std::string, int64_t>& since, int64_t afterMs) {
        for (auto entry = since.begin(); entry != since.end();) {
            entry = nowMs - entry->second > afterMs ? since.erase(entry) : std::next(entry);
        }
    };
    forget(waitingSince, kWaitingForgottenAfterMs);
    forget(neglectedAt, kNeglectRememberedMs);
}

bool PlayerSlots::neglected(const std::string& host, int64_t nowMs) const {
    const auto neglect = neglectedAt.find(host);
    return neglect != neglectedAt.end() && nowMs - neglect->second <= kNeglectRememberedMs;
}

bool PlayerSlots::mayJoin(const std::string& host, int64_t nowMs) const {
    int held = 0;
    int pending = 0;
    for (const Slot& slot : slots) {
        if (!slot.held || slot.host != host) continue;
        ++held;
        if (slot.lastFetchMs < 0) ++pending;
    }
    if (pending >= kPendingPerAddress) return false;
    const bool othersWait = std::any_of(waitingSince.begin(), waitingSince.end(),
                                        [&](const auto& waiting) { return waiting.first != host; });
    const bool othersPlay = std::any_of(slots.begin(), slots.end(), [&](const Slot& slot) {
        return slot.held && slot.host != host;
    });
    if (neglected(host, nowMs) && (othersWait || othersPlay)) return false;
    return !(othersWait && held > 0);
}

PlayerSlots::Joined PlayerSlots::join(const std::string& host, bool withSecret, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    const auto free =
        std::find_if(slots.begin(), slots.end(), [](const Slot& s) { return !s.held; });
    if (free == slots.end() || !mayJoin(host, nowMs)) {
        const bool holdsOne = std::any_of(slots.begin(), slots.end(),
                                          [&](const Slot& s) { return s.held && s.host == host; });
        // One that let a place lapse unplayed does not count as waiting: it would hold the others
        // back.
        if (!holdsOne && !neglected(host, nowMs)) waitingSince[host] = nowMs;
        return Joined{};
    }
    Joined joined;
    joined.player = static_cast<int>(free - slots.begin()) + 1;
    joined.reused = !free->host.empty();
    joined.secret = withSecret ? secrets() : "";
    *free = Slot{true, joined.secret, host, nowMs, -1};
    waitingSince.erase(host);
    return joined;
}

PlayerSlots::Joined PlayerSlots::joinWithSecret(const std::string& host, int64_t nowMs) {
    return join(host, true, nowMs);
}

PlayerSlots::Joined PlayerSlots::joinByAddress(const std::string& host, int64_t nowMs) {
    return join(host, false, nowMs);
}

bool PlayerSlots::takeBack(Slot& slot, int64_t nowMs) {
    if (slot.held) return true;
    // The lapsed number is still free: its last holder carries on with it.
    slot.held = true;
    slot.joinedMs = nowMs;
    slot.lastFetchMs = -1;
    return true;
}

std::optional<int> PlayerSlots::playerOfSecret(const std::string& secret, int64_t nowMs) {
    if (secret.empty()) return std::nullopt;
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].secret == secret && takeBack(slots[i], nowMs)) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

std::optional<int> PlayerSlots::playerOfTicket(uint64_t ticket, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    for (size_t i = 0; i < slots.size(); ++i) {
        Slot& slot = slots[i];
        if (!slot.secret.empty() && fetchTicket(slot.secret) == ticket && takeBack(slot, nowMs)) {
            return static_cast<int>(i) + 1;
        }
    }
    return std::nullopt;
}

bool PlayerSlots::numberedCallAllowed(int player, const std::string& host, int64_t nowMs) {
    if (player < 1 || player > playerCount()) return false;
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    Slot& slot = slots[static_cast<size_t>(player) - 1];
    if (!slot.secret.empty() || slot.host.empty() || slot.host != host) return false;
    return takeBack(slot, nowMs);
}

std::optional<int> PlayerSlots::classicPlayerOf(const std::string& host, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    for (size_t i = 0; i < slots.size(); ++i) {
        const Slot& slot = slots[i];
        if (slot.held && slot.secret.empty() && slot.host == host) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

void PlayerSlots::noteFetch(int player, int64_t nowMs) {
    if (player < 1 || player > playerCount()) return;
    std::lock_guard<std::mutex> hold(lock);
    Slot& slot = slots[static_cast<size_t>(player) - 1];
    if (slot.held) slot.lastFetchMs = nowMs;
}

int PlayerSlots::joined(int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    return static_cast<int>(
        std::count_if(slots.begin(), slots.end(), [](const Slot& s) { return s.held; }));
}

std::vector<bool> PlayerSlots::heldPlaces(int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    std::vector<bool> held;
    for (const Slot& slot : slots) held.push_back(slot.held);
    return held;
}

bool PlayerSlots::everyonePlaying(int64_t nowMs) {
    std::lock_guard<std::mutex> hold(lock);
    expire(nowMs);
    return std::all_of(slots.begin(), slots.end(),
                       [](const Slot& s) { return s.held && s.lastFetchMs >= 0; });
}
