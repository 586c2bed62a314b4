// What the keys do on the FASES screen (stages_screen.h), apart from drawing: a highlighted row and
// the choice it edits.
//
// The rows: "PARTIDA CLASSICA" (Enter: nothing chosen, stage 1 and stage 2), "ALEATORIO: K" (Left
// and Right change K, Enter chooses K random stages), then one row per listed stage (Enter puts it
// at the end of the match, which a random choice gives way to; Left takes the match's last stage
// off). A stage with a problem cannot be put in; neither can a stage beyond kMostChosenStages.
#pragma once

#include <vector>

#include "platform/input.h"
#include "screens/stages_layout.h"
#include "world/stage_choice.h"
#include "world/stage_list.h"

constexpr int kClassicRow = 0;  // then kRandomRow, then the stages from kStagesFixedRows
constexpr int kRandomRow = 1;

struct StagesScreenState {
    int row = kClassicRow;
    int randomCount = 2;  // the K the random row offers
    StageChoice choice;
};

enum class StagesEdit { None, Moved, Changed, Refused };

// The state the screen opens with for `choice`: the random row offers its K when it is random.
StagesScreenState openStagesScreen(const StageChoice& choice);

// Applies `action` (Up, Down, Left, Right or Confirm) to `state` over `stages`.
StagesEdit applyStagesAction(StagesScreenState& state, Action action,
                             const std::vector<ListedStage>& stages);

// The first stage row shown when `state.row` is highlighted among `stageCount` stages: the rows
// scroll so that the highlighted one is always in sight.
int firstShownStage(const StagesScreenState& state, int stageCount);
