// Controle_impl: the servant of a server's Controle object, which carries the players' keys.
//
// Thin: each operation forwards to the race's remote-input rules (remote_race.h) on the control
// state. Inputs that arrive while no race runs, or that name no player of this server, are
// ignored; no operation raises an exception of its own.
#pragma once

#include "corrida.hh"
#include "net/estado_controle.h"

class Controle_impl : public POA_Controle {
  public:
    Controle_impl(EstadoControle& state, const ContadorLogin& counter);

    void alterarGravidade(CORBA::Short player) override;
    void pausar() override;
    void usarCheat() override;

  private:
    EstadoControle& state;
    const ContadorLogin& counter;
};
