// The client: joins a server, replays its drawing and sends this player's keys; or, as a
// spectator, only replays.
#pragma once

#include "net/parametros_rede.h"

enum class ClientRole {
    Player,     // joins as a player and sends its keys
    Spectator,  // joins as a spectator (Login.assistir): sees the match, sends nothing
};

void runClientSession(ParametrosRede& params, ClientRole role = ClientRole::Player);
