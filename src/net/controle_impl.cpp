#include "net/controle_impl.h"

#include "net/remote_race.h"
#include "net/server_context.h"
#include "platform/clock.h"

Controle_impl::Controle_impl(ServerContext& server, CallerHost caller)
    : server(server), guard(server, std::move(caller)) {}

void Controle_impl::flipFor(int player) {
    flipRemotePlayer(server.control, server.playerCount, player);
}

void Controle_impl::pauseFor(int player) {
    if (toggleRemotePause(server.control, player, clockMs()) == PauseAnswer::TooSoon) {
        guard.count(QuietRefusal::Pause);
    }
}

void Controle_impl::cheatFor(int) {
    if (!useRemoteCheat(server.control)) guard.count(QuietRefusal::Cheat);
}

void Controle_impl::alterarGravidade(CORBA::Short player) {
    flipFor(guard.admit(Claim::playerNumber(player)));
}

void Controle_impl::pausar() { pauseFor(guard.admit(Claim::classicAddress())); }

void Controle_impl::usarCheat() { cheatFor(guard.admit(Claim::classicAddress())); }

void Controle_impl::flip(const char* secret) { flipFor(guard.admit(Claim::ofSecret(secret))); }

void Controle_impl::pause(const char* secret) { pauseFor(guard.admit(Claim::ofSecret(secret))); }

void Controle_impl::cheat(const char* secret) { cheatFor(guard.admit(Claim::ofSecret(secret))); }
