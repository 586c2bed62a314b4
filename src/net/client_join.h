// A client's way in: joining as a player (with a secret where the server offers it) or as a
// spectator, and asking once how to fetch. Each prints why it failed and gives nothing then.
#pragma once

#include <optional>
#include <string>

#include "corrida.hh"
#include "net/frame_fetch.h"

// What joining gave: the player number (-1 when the server is full) and the secret of the later
// calls ("" from a server that only numbers its players, or for a classic join).
struct JoinedPlace {
    int player = -1;
    std::string secret;
};

// CORRIDA_FETCH=classic: measuring the classic client against a server that has everything: it
// joins and fetches with the original operations alone.
bool classicClient();

std::optional<JoinedPlace> joinServer(Login_ptr login, const std::string& address);
// A spectator's number; nothing when the server cannot take one.
std::optional<int> watchServer(Login_ptr login, const std::string& address);
// How to fetch (frame_fetch.h); nothing when the server is gone.
std::optional<FetchPlan> chooseFetch(FifoServer_ptr fifo, const Fetcher& self,
                                     const std::string& address);
