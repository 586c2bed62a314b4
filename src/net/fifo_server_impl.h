// FifoServer_impl: the servant of a server's FifoServer object, which hands each player the
// drawing instructions recorded for it in the server's drawing recorder.
//
// getInstructions(player) removes and returns the oldest batch queued for that player, one batch
// per call; "" when nothing is waiting. An empty queue is waited on for up to kClassicHoldMs
// first, so a client that asks again at once, without pause, costs the server one call per
// picture rather than thousands a second.
//
// takeFrames(player, waitMs) hands out every whole picture waiting, holding the call up to
// min(waitMs, kMaxFramesHoldMs) for one; takeOwnFrames(secret, waitMs) does the same for the
// secret's player. The Deflated versions give the same answers compressed, in a stream per viewer
// (deflated_frames.h); the Packed version and pop (a secret's player, by its ticket:
// fetch_ticket.h) delta-pack them before (delta_packing.h).
//
// A queue is fetched only by its player (player_slots.h) or spectator (audience.h): a number
// its caller's address does not hold, or an unknown secret, is refused with NO_PERMISSION; an
// address holding its share of calls already (calls_in_flight.h) is refused with NO_RESOURCES. Both
// are counted.
#pragma once

#include "corrida.hh"
#include "net/caller_address.h"

struct ServerContext;

class FifoServer_impl : public POA_FifoServer {
  public:
    FifoServer_impl(ServerContext& server, CallerHost caller);

    static constexpr int kClassicHoldMs = 15;
    static constexpr int kMaxFramesHoldMs = 1000;

    char* getInstructions(CORBA::UShort player) override;
    char* takeFrames(CORBA::UShort player, CORBA::UShort waitMs) override;
    char* takeOwnFrames(const char* secret, CORBA::UShort waitMs) override;
    Deflated* takeDeflatedFrames(CORBA::UShort player, CORBA::UShort waitMs,
                                 CORBA::ULongLong& part) override;
    Deflated* takeOwnDeflatedFrames(const char* secret, CORBA::UShort waitMs,
                                    CORBA::ULongLong& part) override;
    Deflated* takePackedFrames(CORBA::UShort player, CORBA::UShort waitMs,
                               CORBA::ULongLong& part) override;
    CORBA::ULongLong pop(CORBA::ULongLong ticket, CORBA::UShort waitMs,
                         Deflated_out answer) override;

  private:
    int numberedPlayer(CORBA::UShort player, const std::string& host);
    char* framesFor(int player, CORBA::UShort waitMs, const std::string& host);
    Deflated* deflatedFramesFor(int player, CORBA::UShort waitMs, const std::string& host,
                                CORBA::ULongLong& part, bool packed);
    int secretPlayer(const char* secret);
    int ticketPlayer(CORBA::ULongLong ticket);

    ServerContext& server;
    const CallerHost caller;
};
