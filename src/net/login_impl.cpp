#include "net/login_impl.h"

#include "net/server_context.h"
#include "platform/clock.h"

Login_impl::Login_impl(ServerContext& server, CallerHost caller)
    : server(server), guard(server, std::move(caller)) {}

CORBA::Short Login_impl::admitted(const PlayerSlots::Joined& joined) {
    if (joined.player < 0) {
        guard.count(QuietRefusal::Join);
        return -1;
    }
    if (joined.reused) server.viewers.restartQueue(static_cast<uint16_t>(joined.player));
    return static_cast<CORBA::Short>(joined.player);
}

CORBA::Short Login_impl::logar() {
    return admitted(server.slots.joinByAddress(guard.admitNewcomer(), clockMs()));
}

CORBA::Short Login_impl::rejoin(const char* secret, CORBA::ULongLong& nextPart) {
    nextPart = 0;
    const std::optional<int> player = guard.find(Claim::ofSecret(secret));
    if (!player) return -1;
    server.slots.noteFetch(*player, clockMs());
    nextPart = server.viewers.resumeQueue(static_cast<uint16_t>(*player));
    return static_cast<CORBA::Short>(*player);
}

CORBA::Short Login_impl::assistir() {
    const int viewer = server.spectators.join(guard.admitNewcomer(), clockMs());
    if (viewer < 0) guard.count(QuietRefusal::Spectator);
    return static_cast<CORBA::Short>(viewer);
}

CORBA::Short Login_impl::join(CORBA::String_out secret) {
    const PlayerSlots::Joined joined =
        server.slots.joinWithSecret(guard.admitNewcomer(), clockMs());
    secret = CORBA::string_dup(joined.secret.c_str());
    return admitted(joined);
}
