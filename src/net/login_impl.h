// Login_impl: the servant of a server's Login object, which admits players.
//
// logar() gives the callers the numbers 1, 2, ... up to the server's player count in the order
// their calls arrive, and -1 to every caller after that. Numbers are never given back. Concurrent
// calls never admit more players than the count.
#pragma once

#include "corrida.hh"
#include "net/estado_controle.h"

class Login_impl : public POA_Login {
  public:
    explicit Login_impl(ContadorLogin& counter);

    CORBA::Short logar() override;

  private:
    ContadorLogin& counter;
};
