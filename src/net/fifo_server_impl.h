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
// A queue is fetched only by its player (player_slots.h) or spectator (audience.h): the guard
// (call_guard.h) refuses a number its caller's address does not hold, or an unknown secret or
// ticket, with NO_PERMISSION, and an address holding its share of calls already
// (calls_in_flight.h) with NO_RESOURCES, and counts both.
//
// stageLevel(picturePath, hash) gives the level text of the stage of the server's list whose
// picture is `picturePath` (ServerContext::stages), and its hash (world/level_hash.h); "" and 0
// for any other path. Anyone may ask, a few times a minute per address (level_fetch_rate.h).
#pragma once

#include "corrida.hh"
#include "net/call_guard.h"
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
    char* stageLevel(const char* picturePath, CORBA::ULongLong& hash) override;

  private:
    char* framesFor(const Claim& claim, CORBA::UShort waitMs);
    Deflated* compressedFramesFor(const Claim& claim, CORBA::UShort waitMs, CORBA::ULongLong& part,
                                  bool packed);

    ServerContext& server;
    CallGuard guard;
};
