// Controle_impl: the servant of a server's Controle object, which carries the players' keys.
//
// Each key acts for one player only: the numbered flip for the number its caller's address holds
// (a classic client), pausar and usarCheat for the classic player of the caller's address, and
// the secret's operations for the secret's player: the guard (call_guard.h) refuses anything else
// with NO_PERMISSION and counts it. Within those rules the keys go to the race's remote-input rules
// (remote_race.h, through place_requests.h): they act only while a race runs; a pause asked for too
// soon after the player's last one, and a cheat on a server that does not allow it, are ignored and
// counted.
#pragma once

#include "corrida.hh"
#include "net/caller_address.h"
#include "net/place_requests.h"

struct ServerContext;

class Controle_impl : public POA_Controle {
  public:
    Controle_impl(ServerContext& server, CallerHost caller);

    void alterarGravidade(CORBA::Short player) override;
    void pausar() override;
    void usarCheat() override;
    void flip(const char* secret) override;
    void pause(const char* secret) override;
    void cheat(const char* secret) override;

  private:
    PlaceRequests requests;
};
