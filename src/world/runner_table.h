// RunnerTable: the runners of a stage, indexed by player number minus one; an entry is null when
// that player has no runner. The stage map keeps its own (Mapa::runners()); the server's remote
// gravity flips reach the runners of the race in progress through it (via the control state).
#pragma once

#include <array>

#include "platform/player_limits.h"

class Runner;

using RunnerTable = std::array<Runner*, kMaxPlayers>;
