// Whether a stage may be offered: the stage solver (stage_solver.h) must win it from each of the
// six start positions, and no runner that never flips may reach the finish line (alone, or among
// six that never flip).
//
// Runs the race headless on the simulated clock and with a recorder of its own installed: call it
// only while no session runs (the game does at start-up).
#pragma once

#include <string>

#include "world/stage_loading.h"

// "" when the stage is playable; else why not, as the list shows it ("a partir da largada 4 nao
// chega ao fim", "o jogador 2 chega ao fim sem virar nenhuma vez", "com seis corredores parados, o
// jogador 5 chega ao fim sem virar").
std::string unplayableReason(const StageData& stage);
