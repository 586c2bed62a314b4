// The client: joins a server, replays its drawing and sends this player's keys.
#pragma once

#include "app/entry_dialogue.h"

void runClientSession(ParametrosRede& params);
