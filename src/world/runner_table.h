// runnerTable: the runners of the stage being raced, indexed by player number minus one.
//
// Stage loading fills it; an entry is null when that player has no runner. The server's remote
// gravity flips reach runners through it (via the control state).
#pragma once

#include <array>

#include "platform/player_limits.h"

class Runner;

using RunnerTable = std::array<Runner*, kMaxPlayers>;

extern RunnerTable runnerTable;
