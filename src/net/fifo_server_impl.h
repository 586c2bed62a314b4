// FifoServer_impl: the servant of a server's FifoServer object, which hands each player the
// drawing instructions recorded for it.
//
// getInstructions(player) removes and returns the oldest batch queued for that player in the
// process's drawing recorder, one batch per call; "" when nothing is waiting or when the number
// names no player of this server.
#pragma once

#include "corrida.hh"

class FifoServer_impl : public POA_FifoServer {
  public:
    char* getInstructions(CORBA::UShort player) override;
};
