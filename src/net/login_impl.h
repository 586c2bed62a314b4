// Login_impl: the servant of a server's Login object, which admits players.
//
// logar() and join() give out the player numbers by the server's slot rules (player_slots.h):
// logar() ties the number to the caller's address, join() to a secret it hands the caller. A
// refusal answers -1 and is counted (place_requests.h). A number that had another holder before
// starts its queue afresh for the newcomer. rejoin() gives a secret's client, back after a
// lost connection, its number and a queue that starts afresh where its part numbers were.
// assistir() gives out the spectator numbers (audience.h).
#pragma once

#include "corrida.hh"
#include "net/caller_address.h"
#include "net/place_requests.h"

struct ServerContext;

class Login_impl : public POA_Login {
  public:
    Login_impl(ServerContext& server, CallerHost caller);

    CORBA::Short logar() override;
    CORBA::Short join(CORBA::String_out secret) override;
    CORBA::Short rejoin(const char* secret, CORBA::ULongLong& nextPart) override;
    CORBA::Short assistir() override;

  private:
    PlaceRequests requests;
};
