#include "net/login_impl.h"

#include "net/server_context.h"
#include "platform/clock.h"

namespace {

CORBA::Short admitted(ServerContext& server, const PlayerSlots::Joined& joined) {
    if (joined.player < 0) {
        ++server.refusals.joins;
        return -1;
    }
    if (joined.reused) server.recorder.restartQueue(static_cast<uint16_t>(joined.player));
    return static_cast<CORBA::Short>(joined.player);
}

}  // namespace

Login_impl::Login_impl(ServerContext& server, CallerHost caller)
    : server(server), caller(std::move(caller)) {}

CORBA::Short Login_impl::logar() {
    return admitted(server, server.slots.joinByAddress(caller(), clockMs()));
}

CORBA::Short Login_impl::rejoin(const char* secret, CORBA::ULongLong& nextPart) {
    nextPart = 0;
    const std::optional<int> player = server.slots.playerOfSecret(secret, clockMs());
    if (!player) {
        ++server.refusals.foreignCalls;
        return -1;
    }
    server.slots.noteFetch(*player, clockMs());
    nextPart = server.recorder.resumeQueue(static_cast<uint16_t>(*player));
    return static_cast<CORBA::Short>(*player);
}

CORBA::Short Login_impl::assistir() {
    const int viewer = server.spectators.join(caller(), clockMs());
    if (viewer < 0) ++server.refusals.spectators;
    return static_cast<CORBA::Short>(viewer);
}

CORBA::Short Login_impl::join(CORBA::String_out secret) {
    const PlayerSlots::Joined joined = server.slots.joinWithSecret(caller(), clockMs());
    secret = CORBA::string_dup(joined.secret.c_str());
    return admitted(server, joined);
}
