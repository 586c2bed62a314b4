// The FASES screen, opened from the main menu: the listed stages (number, name and difficulty
// figure, or that the stage cannot be played), where the player picks the match's stages in order,
// chooses random ones or goes back to stage 1 and stage 2 (stages_choice_edit.h). Up and Down move,
// Enter chooses, Left and Right change the random count or take the last stage off; the match
// chosen so far is shown under the rows. Esc goes back to the menu; a changed choice is then saved
// in fases.conf (stage_choice_file.h). Returns the choice as the screen leaves it.
#pragma once

#include <vector>

#include "world/stage_choice.h"
#include "world/stage_list.h"

StageChoice runStagesScreen(const StageChoice& choice, const std::vector<ListedStage>& stages);

// The picture of the row of the listed stage whose id is `id`, drawn by the image generator for
// the shipped stages.
std::string stageRowPicturePath(const std::string& id);
