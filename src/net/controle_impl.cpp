#include "net/controle_impl.h"

#include "net/remote_race.h"

Controle_impl::Controle_impl(EstadoControle& state, const ContadorLogin& counter)
    : state(state), counter(counter) {}

void Controle_impl::alterarGravidade(CORBA::Short player) {
    flipRemotePlayer(state, counter.maxPlayers, player);
}

void Controle_impl::pausar() { toggleRemotePause(state); }

void Controle_impl::usarCheat() { useRemoteCheat(state); }
