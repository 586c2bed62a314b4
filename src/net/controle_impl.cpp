#include "net/controle_impl.h"

#include "net/remote_race.h"
#include "net/server_context.h"
#include "platform/clock.h"

namespace {

[[noreturn]] void refuseForeign(ServerContext& server) {
    ++server.refusals.foreignCalls;
    throw CORBA::NO_PERMISSION();
}

}  // namespace

Controle_impl::Controle_impl(ServerContext& server, CallerHost caller)
    : server(server), caller(std::move(caller)) {}

int Controle_impl::classicPlayer() {
    const std::optional<int> player = server.slots.classicPlayerOf(caller(), clockMs());
    if (!player) refuseForeign(server);
    return *player;
}

int Controle_impl::secretPlayer(const char* secret) {
    const std::optional<int> player = server.slots.playerOfSecret(secret, clockMs());
    if (!player) refuseForeign(server);
    return *player;
}

void Controle_impl::flipFor(int player) {
    flipRemotePlayer(server.control, server.playerCount, player);
}

void Controle_impl::pauseFor(int player) {
    if (toggleRemotePause(server.control, player, clockMs()) == PauseAnswer::TooSoon) {
        ++server.refusals.pauses;
    }
}

void Controle_impl::cheatFor(int) {
    if (!useRemoteCheat(server.control)) ++server.refusals.cheats;
}

void Controle_impl::alterarGravidade(CORBA::Short player) {
    if (!server.slots.numberedCallAllowed(player, caller(), clockMs())) refuseForeign(server);
    flipFor(player);
}

void Controle_impl::pausar() { pauseFor(classicPlayer()); }

void Controle_impl::usarCheat() { cheatFor(classicPlayer()); }

void Controle_impl::flip(const char* secret) { flipFor(secretPlayer(secret)); }

void Controle_impl::pause(const char* secret) { pauseFor(secretPlayer(secret)); }

void Controle_impl::cheat(const char* secret) { cheatFor(secretPlayer(secret)); }
