// PlayerSlots: who holds each player number of a server, and the rules that give numbers out and
// take them back.
//
// A number is held one of two ways:
// - by a secret (Login.join): only calls that carry the secret act as that player, and the
//   number is never honoured in the numbered operations, from any address;
// - by an address (the classic logar): numbered calls for it are honoured only from the host that
//   joined with it. Players behind one address (one home router) cannot be told apart.
//
// Numbers come back:
// - a slot that has not fetched within kFirstFetchWithinMs of joining is free again (somebody
//   logged in and never played), and so is one whose fetches stopped kDepartedAfterMs ago;
// - until the number is given to somebody else, the last holder (its secret, or its address for a
//   classic holder) takes it back by using it, runner and all: a client that lost its connection
//   carries on after reconnecting.
//
// Nobody is locked out by slots that nobody plays:
// - one address may hold at most kPendingPerAddress slots that have not fetched yet;
// - while another address waits (it was refused within kWaitingForgottenAfterMs), an address
//   that already holds a slot gets no more;
// - an address that let a slot lapse unplayed within kNeglectRememberedMs gets none while another
//   address waits or plays (alone on the server, one household gets its numbers back), and its
//   refusals do not count as waiting.
//
// Thread-safe: the remote-request threads call it; the game thread reads joined().
// Time is given by the caller (clockMs()), so the rules are tested on a simulated clock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "stream/player_queue.h"

class PlayerSlots {
  public:
    static constexpr int64_t kFirstFetchWithinMs = 10000;
    // The recorder's own rule: a queue nobody took from for this long is folded (player_queue.h).
    static constexpr int64_t kDepartedAfterMs = PlayerQueue::kDepartedAfterMs;
    static constexpr int kPendingPerAddress = 2;
    static constexpr int64_t kWaitingForgottenAfterMs = 60000;
    static constexpr int64_t kNeglectRememberedMs = 60000;

    // Makes a new secret; tests pass a predictable one.
    using SecretSource = std::function<std::string()>;

    explicit PlayerSlots(int playerCount, SecretSource secrets = randomSecret);
    PlayerSlots(const PlayerSlots&) = delete;
    PlayerSlots& operator=(const PlayerSlots&) = delete;

    struct Joined {
        int player = -1;      // -1: refused
        std::string secret;   // "" for a classic join or a refusal
        bool reused = false;  // the number was somebody else's before: its queue starts afresh
    };
    // Login.join from `host`.
    Joined joinWithSecret(const std::string& host, int64_t nowMs);
    // logar from `host`.
    Joined joinByAddress(const std::string& host, int64_t nowMs);

    // The player whose secret this is (taking its number back if it lapsed and is still free);
    // nothing for an unknown secret.
    std::optional<int> playerOfSecret(const std::string& secret, int64_t nowMs);
    // The same for the secret whose fetch ticket (fetch_ticket.h) this is.
    std::optional<int> playerOfTicket(uint64_t ticket, int64_t nowMs);
    // Whether a numbered call for `player` from `host` is honoured (taking a lapsed number back
    // for its last classic holder as above).
    bool numberedCallAllowed(int player, const std::string& host, int64_t nowMs);
    // The lowest player number `host` holds by address, for logar's pausar; nothing when none.
    std::optional<int> classicPlayerOf(const std::string& host, int64_t nowMs);

    // A fetch for `player` began: it is being played.
    void noteFetch(int player, int64_t nowMs);

    // Numbers held now (the waiting screen's count).
    int joined(int64_t nowMs);
    // Whether each number is held now, player 1's first (the party's waiting screen).
    std::vector<bool> heldPlaces(int64_t nowMs);
    // Whether every number is held by a player whose fetches have begun: a race starts only then,
    // never with runners that somebody took and nobody plays.
    bool everyonePlaying(int64_t nowMs);
    int playerCount() const { return static_cast<int>(slots.size()); }

    // 32 hexadecimal digits from the system's random source.
    static std::string randomSecret();

  private:
    struct Slot {
        bool held = false;
        std::string secret;  // "" for an address holder
        std::string host;
        int64_t joinedMs = 0;
        int64_t lastFetchMs = -1;  // -1: never fetched
    };
    Joined join(const std::string& host, bool withSecret, int64_t nowMs);
    void expire(int64_t nowMs);
    bool mayJoin(const std::string& host, int64_t nowMs) const;
    bool neglected(const std::string& host, int64_t nowMs) const;
    bool takeBack(Slot& slot, int64_t nowMs);

    std::mutex lock;
    std::vector<Slot> slots;  // index player - 1; a freed slot keeps its last holder
    std::map<std::string, int64_t> waitingSince;  // host -> last refusal
    std::map<std::string, int64_t> neglectedAt;   // host -> a slot of its lapsed unplayed
    SecretSource secrets;
};
