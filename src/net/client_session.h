// The client: joins a server, replays its drawing and sends this player's keys.
#pragma once

#include "net/parametros_rede.h"

void runClientSession(ParametrosRede& params);
