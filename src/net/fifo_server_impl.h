// FifoServer_impl: the servant of a server's FifoServer object, which hands each player the
// drawing instructions recorded for it in the process's drawing recorder.
//
// getInstructions(player) removes and returns the oldest batch queued for that player, one batch
// per call; "" when nothing is waiting or when the number names no player of this server. An empty
// queue is waited on for up to kClassicHoldMs first, so a client that asks again at once, without
// pause, costs the server one call per picture rather than thousands a second.
//
// takeFrames(player, waitMs) hands out every whole picture waiting, holding the call up to
// min(waitMs, kMaxFramesHoldMs) for one.
#pragma once

#include "corrida.hh"

class GravadorTela;

class FifoServer_impl : public POA_FifoServer {
  public:
    explicit FifoServer_impl(GravadorTela& recorder) : recorder(recorder) {}

    static constexpr int kClassicHoldMs = 15;
    static constexpr int kMaxFramesHoldMs = 1000;

    char* getInstructions(CORBA::UShort player) override;
    char* takeFrames(CORBA::UShort player, CORBA::UShort waitMs) override;

  private:
    GravadorTela& recorder;
};
