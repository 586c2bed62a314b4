// CallGuard: the one admission every remote operation of a server passes.
//
// An operation names the place it claims to act for (`Claim`): a player by number (a classic
// client's keys), a viewer by number (a numbered fetch: a classic player or a spectator), the
// classic player of the caller's address, the player of a secret, or of a fetch ticket. The guard
// asks the caller's address once, decides, and counts every refusal here, by its cause:
// - a place the caller does not hold is refused with NO_PERMISSION ("foreignCalls");
// - a fetch past its address's share of calls in flight with NO_RESOURCES ("callsInFlight").
// The answers that the protocol gives in its own way are counted here too (`count`): a login
// answered -1, a pause too soon, a cheat on a server that does not allow it.
//
// Every surface a stranger can reach passes the same guard, so one cause is always refused and
// counted the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/caller_address.h"
#include "net/calls_in_flight.h"

struct ServerContext;

// The place a remote call claims to act for.
struct Claim {
    enum class Kind { PlayerNumber, ViewerNumber, ClassicAddress, Secret, Ticket };
    Kind kind;
    int number = 0;
    std::string secret;
    uint64_t ticket = 0;

    static Claim playerNumber(int player) { return {Kind::PlayerNumber, player, {}, 0}; }
    static Claim viewerNumber(int viewer) { return {Kind::ViewerNumber, viewer, {}, 0}; }
    static Claim classicAddress() { return {Kind::ClassicAddress, 0, {}, 0}; }
    static Claim ofSecret(const char* secret) { return {Kind::Secret, 0, secret ? secret : "", 0}; }
    static Claim ofTicket(uint64_t ticket) { return {Kind::Ticket, 0, {}, ticket}; }
};

// What the protocol refuses without an exception, counted by the guard all the same.
enum class QuietRefusal { Join, Spectator, Pause, Cheat };

class CallGuard {
  public:
    CallGuard(ServerContext& server, CallerHost caller);

    // A fetch admitted: its place, and its share of the address's calls in flight for as long as
    // it lives.
    struct Fetch {
        int viewer;
        CallsInFlight::Admission share;
    };

    // The place `claim` names, refused (NO_PERMISSION, counted) when the caller does not hold it.
    int admit(const Claim& claim);
    // The same for a fetch, which then counts as its viewer's fetch and takes a share of the
    // address's calls in flight (NO_RESOURCES past it, counted).
    Fetch admitFetch(const Claim& claim);
    // A stream the server sends its viewer unasked (the web port): the place `claim` names, which
    // then counts as fetched, or nothing (counted) when the caller no longer holds it.
    std::optional<int> admitPush(const Claim& claim);
    // A stage's level asked for (anyone may ask): refused with NO_RESOURCES, counted as a call
    // past the address's share, when the address asked LevelFetchRate::kPerMinute times in the
    // last minute.
    void admitLevelFetch();
    // The place `claim` names, or nothing (counted) for an operation that answers a refusal
    // itself.
    std::optional<int> find(const Claim& claim);
    // A call that asks for a place (joining, watching), which anyone may: the caller's address,
    // which the rules that give the places out then judge.
    std::string admitNewcomer() const { return caller(); }
    void count(QuietRefusal refusal);

  private:
    std::optional<int> holder(const Claim& claim, const std::string& host, int64_t nowMs);
    // holder(), with a refusal counted when there is none.
    std::optional<int> countedHolder(const Claim& claim, const std::string& host, int64_t nowMs);

    ServerContext& server;
    const CallerHost caller;
};
