// PlaceRequests: what a remote caller may ask about the places of a server, whichever surface it
// comes by (the ORB's Login and Controle servants, the web port): joining, coming back, watching,
// leaving, and a player's flip, pause and cheat. Each request passes the one guard (call_guard.h),
// which counts what it refuses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/call_guard.h"
#include "net/caller_address.h"
#include "net/player_slots.h"

struct ServerContext;

class PlaceRequests {
  public:
    PlaceRequests(ServerContext& server, CallerHost caller);

    // A new player by address (logar) or with a secret (join): the number, -1 when refused
    // (counted). A number somebody else held before starts its queue afresh.
    PlayerSlots::Joined joinByAddress();
    PlayerSlots::Joined joinWithSecret();

    struct Rejoined {
        int player;
        uint64_t nextPart;  // where the queue's parts go on
    };
    // The secret's player back after a lost connection, its queue started afresh where its parts
    // were; nothing (counted) for a secret that holds no place.
    std::optional<Rejoined> rejoin(const std::string& secret);

    // A new spectator: its number, -1 at a limit (counted).
    int watch();
    // The spectator `viewer`, held by this caller, leaves at once (its queue closes).
    void leave(int viewer);

    // A player's inputs, for a place the guard admitted.
    void flip(int player);
    void pause(int player);
    void cheat(int player);

    CallGuard& guard() { return guard_; }

  private:
    PlayerSlots::Joined admitted(PlayerSlots::Joined joined);

    ServerContext& server;
    CallGuard guard_;
};
