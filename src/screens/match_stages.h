// The stages of the next match by a choice (stage_choice.h) among the shipped stages.
#pragma once

#include <random>
#include <vector>

#include "screens/match_loop.h"
#include "world/stage_choice.h"

// Nothing chosen: stage 1 and stage 2. A choice that cannot be played now (a stage named that is
// not there or is broken) is reported on the console and gives stage 1 and stage 2 too.
std::vector<MatchStage> matchStagesOf(const StageChoice& choice, std::mt19937& random);

// The stages of `listed` as a match plays them.
std::vector<MatchStage> matchStagesOf(const std::vector<const ListedStage*>& listed);
