// Audience: the spectators of a server (Login.assistir): who holds each spectator number, and the
// rules that give the numbers out and take them back.
//
// Spectators are numbered from ViewerQueues::kFirstSpectator (one past the most players), so a
// spectator number is never a player's and Controle, which acts for players alone, ignores it.
// - A number is tied to the address that asked for it: numbered fetches for it are honoured only
//   from that host, as a classic player's are.
// - At most kMaxSpectators watch at once unless the host says otherwise (--espectadores), and
//   from one address at most half of them, but never fewer than kMaxPerAddress (a LAN party behind
//   one router, or a benchmark on one machine, still gets that many).
// - A spectator that has not fetched for kLapseMs (counted from joining until its first fetch)
//   has left: its number is free again and its queue closes.
//
// The queues are opened and closed through the two functions given at construction, called while
// the slots are locked, so a number that lapses is closed before anybody else is given it.
// Thread-safe; time is given by the caller (clockMs()).
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class Audience {
  public:
    static constexpr int kMaxSpectators = 64;
    static constexpr int kMaxPerAddress = 32;
    // The most a host may let watch (--espectadores).
    static constexpr int kMostSpectators = 500;
    static constexpr int64_t kLapseMs = 10000;

    // The spectators one address may hold when `total` may watch.
    static constexpr int perAddressFor(int total) {
        return std::min(total, std::max(kMaxPerAddress, total / 2));
    }

    using QueueChange = std::function<void(uint16_t viewer)>;
    // `total`: how many may watch at once, 0 to kMostSpectators.
    Audience(uint16_t firstNumber, QueueChange openQueue, QueueChange closeQueue,
             int total = kMaxSpectators);
    Audience(const Audience&) = delete;
    Audience& operator=(const Audience&) = delete;

    // A new spectator from `host`: its number, its queue open; -1 at a limit.
    int join(const std::string& host, int64_t nowMs);
    // Whether a numbered fetch for `viewer` from `host` is honoured; one that is counts as the
    // spectator's fetch.
    bool fetchAllowed(int viewer, const std::string& host, int64_t nowMs);
    // The spectator `viewer`, held from `host`, has left: its number is free and its queue closes
    // now. Anything else is ignored.
    void leave(int viewer, const std::string& host);
    // Whether `viewer` is a spectator number at all (held or not).
    bool isSpectatorNumber(int viewer) const;
    // Lets the spectators that left lapse, so departed viewers do not keep queues filling for long
    // (the audience's timer calls it: audience_sweep.h).
    void sweep(int64_t nowMs);
    int watching(int64_t nowMs);
    int maxPerAddress() const { return perAddress; }

  private:
    struct Holder {
        std::string host;
        int64_t lastSeenMs;
    };
    void expire(int64_t nowMs);

    const uint16_t firstNumber;
    const int total;
    const int perAddress;
    QueueChange openQueue, closeQueue;
    std::mutex lock;
    std::map<uint16_t, Holder> held;
};
