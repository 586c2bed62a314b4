#include "net/place_requests.h"

#include "net/remote_race.h"
#include "net/server_context.h"
#include "platform/clock.h"

PlaceRequests::PlaceRequests(ServerContext& server, CallerHost caller)
    : server(server), guard_(server, std::move(caller)) {}

PlayerSlots::Joined PlaceRequests::admitted(PlayerSlots::Joined joined) {
    if (joined.player < 0) {
        guard_.count(QuietRefusal::Join);
        return joined;
    }
    if (joined.reused) server.viewers.restartQueue(static_cast<uint16_t>(joined.player));
    return joined;
}

PlayerSlots::Joined PlaceRequests::joinByAddress() {
    const std::string host = guard_.admitNewcomer();
    PlayerSlots::Joined joined = admitted(server.slots.joinByAddress(host, clockMs()));
    if (joined.player >= 1 && server.otherStagesInMatch)
        server.classicNotice.noteJoin(host, joined.player);
    return joined;
}

PlayerSlots::Joined PlaceRequests::joinWithSecret() {
    return admitted(server.slots.joinWithSecret(guard_.admitNewcomer(), clockMs()));
}

std::optional<PlaceRequests::Rejoined> PlaceRequests::rejoin(const std::string& secret) {
    const std::optional<int> player = guard_.find(Claim::ofSecret(secret.c_str()));
    if (!player) return std::nullopt;
    server.slots.noteFetch(*player, clockMs());
    return Rejoined{*player, server.viewers.resumeQueue(static_cast<uint16_t>(*player))};
}

int PlaceRequests::watch() {
    const int viewer = server.spectators.join(guard_.admitNewcomer(), clockMs());
    if (viewer < 0) guard_.count(QuietRefusal::Spectator);
    return viewer;
}

void PlaceRequests::leave(int viewer) { server.spectators.leave(viewer, guard_.admitNewcomer()); }

void PlaceRequests::flip(int player) {
    flipRemotePlayer(server.control, server.playerCount, player);
}

void PlaceRequests::pause(int player) {
    if (toggleRemotePause(server.control, player, clockMs()) == PauseAnswer::TooSoon) {
        guard_.count(QuietRefusal::Pause);
    }
}

void PlaceRequests::cheat(int) {
    if (!useRemoteCheat(server.control)) guard_.count(QuietRefusal::Cheat);
}
