// The client: joins a server, replays its drawing and sends this player's keys; or, as a
// spectator, only replays.
#pragma once

#include "net/parametros_rede.h"
#include "net/session_status.h"

enum class ClientRole {
    Player,     // joins as a player and sends its keys
    Spectator,  // joins as a spectator (Login.assistir): sees the match, sends nothing
};

// The session's exit status: 0, or kThreadFailureStatus when a thread could not be started.
int runClientSession(ParametrosRede& params, ClientRole role = ClientRole::Player);
