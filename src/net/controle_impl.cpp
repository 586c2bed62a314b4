#include "net/controle_impl.h"

Controle_impl::Controle_impl(ServerContext& server, CallerHost caller)
    : requests(server, std::move(caller)) {}

void Controle_impl::alterarGravidade(CORBA::Short player) {
    requests.flip(requests.guard().admit(Claim::playerNumber(player)));
}

void Controle_impl::pausar() { requests.pause(requests.guard().admit(Claim::classicAddress())); }

void Controle_impl::usarCheat() { requests.cheat(requests.guard().admit(Claim::classicAddress())); }

void Controle_impl::flip(const char* secret) {
    requests.flip(requests.guard().admit(Claim::ofSecret(secret)));
}

void Controle_impl::pause(const char* secret) {
    requests.pause(requests.guard().admit(Claim::ofSecret(secret)));
}

void Controle_impl::cheat(const char* secret) {
    requests.cheat(requests.guard().admit(Claim::ofSecret(secret)));
}
