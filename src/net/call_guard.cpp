#include "net/call_guard.h"

#include <omniORB4/CORBA.h>

#include "net/server_context.h"
#include "platform/clock.h"

CallGuard::CallGuard(ServerContext& server, CallerHost caller)
    : server(server), caller(std::move(caller)) {}

std::optional<int> CallGuard::holder(const Claim& claim, const std::string& host, int64_t nowMs) {
    switch (claim.kind) {
        case Claim::Kind::PlayerNumber:
            if (!server.slots.numberedCallAllowed(claim.number, host, nowMs)) return std::nullopt;
            return claim.number;
        case Claim::Kind::ViewerNumber: {
            const bool spectator = server.spectators.isSpectatorNumber(claim.number);
            const bool allowed = spectator
                                     ? server.spectators.fetchAllowed(claim.number, host, nowMs)
                                     : server.slots.numberedCallAllowed(claim.number, host, nowMs);
            if (!allowed) return std::nullopt;
            return claim.number;
        }
        case Claim::Kind::ClassicAddress:
            return server.slots.classicPlayerOf(host, nowMs);
        case Claim::Kind::Secret:
            return server.slots.playerOfSecret(claim.secret, nowMs);
        case Claim::Kind::Ticket:
            return server.slots.playerOfTicket(claim.ticket, nowMs);
    }
    return std::nullopt;
}

std::optional<int> CallGuard::countedHolder(const Claim& claim, const std::string& host,
                                            int64_t nowMs) {
    const std::optional<int> place = holder(claim, host, nowMs);
    if (!place) ++server.refusals.foreignCalls;
    return place;
}

std::optional<int> CallGuard::find(const Claim& claim) {
    return countedHolder(claim, caller(), clockMs());
}

int CallGuard::admit(const Claim& claim) {
    const std::optional<int> place = find(claim);
    if (!place) throw CORBA::NO_PERMISSION();
    return *place;
}

CallGuard::Fetch CallGuard::admitFetch(const Claim& claim) {
    const std::string host = caller();
    const int64_t now = clockMs();
    const std::optional<int> viewer = countedHolder(claim, host, now);
    if (!viewer) throw CORBA::NO_PERMISSION();
    std::optional<CallsInFlight::Admission> share = server.callsInFlight.admit(host);
    if (!share) {
        ++server.refusals.callsInFlight;
        throw CORBA::NO_RESOURCES();
    }
    server.slots.noteFetch(*viewer, now);
    return Fetch{*viewer, std::move(*share)};
}

std::optional<int> CallGuard::admitPush(const Claim& claim) {
    const int64_t now = clockMs();
    const std::optional<int> viewer = countedHolder(claim, caller(), now);
    if (viewer) server.slots.noteFetch(*viewer, now);
    return viewer;
}

void CallGuard::admitLevelFetch() {
    if (server.levelFetches.admit(caller(), clockMs())) return;
    ++server.refusals.callsInFlight;
    throw CORBA::NO_RESOURCES();
}

void CallGuard::count(QuietRefusal refusal) {
    switch (refusal) {
        case QuietRefusal::Join:
            ++server.refusals.joins;
            break;
        case QuietRefusal::Spectator:
            ++server.refusals.spectators;
            break;
        case QuietRefusal::Pause:
            ++server.refusals.pauses;
            break;
        case QuietRefusal::Cheat:
            ++server.refusals.cheats;
            break;
    }
}
