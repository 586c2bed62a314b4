// Players' own stages: level files "NAME.txt" in the fases/ folder of the player's data folder
// ($XDG_DATA_HOME/corrida/fases/, by default ~/.local/share/corrida/fases/), listed after the
// shipped stages with NAME as their id. NAME is 1 to kMaxOwnStageNameBytes letters, digits, "-"
// and "_"; other files are left aside, and at most kMaxOwnStages are listed (by name).
//
// An own stage's picture is drawn from its theme (the level's `picture` line is ignored) into the
// cache as "Img/fases/NAME-HASH.jpg" (HASH: level_hash.h), the first time the level is listed: no
// shipped file has such a name, and a changed level gets a new picture. Before it is offered the
// stage solver checks it (stage_verdict.h); a stage that is not playable stays in the list with the
// reason as its problem. The verdict is kept in the cache ("veredictos/HASH.txt"), so the solver
// runs once per level.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "world/level_file.h"
#include "world/stage_list.h"

constexpr int kMaxOwnStages = 50;
constexpr size_t kMaxOwnStageNameBytes = 32;

bool isOwnStageName(const std::string& name);

// "Img/fases/NAME-HASH.jpg" for the level `text` of own stage NAME.
std::string ownStagePicturePath(const std::string& name, const std::string& text);
// The NAME of an own stage's picture path, or "" when `path` is not one.
std::string ownStageNameOf(const std::string& picturePath);

// Reads own stage NAME from its level `text` (`path` names it in messages): the stage, or one whose
// problem says why there is none. Neither draws nor solves.
ListedStage readOwnStage(int number, const std::string& name, const std::string& path,
                         const std::string& text);

// Reads a level sent for `picturePath` (a shipped or an own stage's picture path) as the stage it
// must be: the level's picture path, or an own stage's, is `picturePath`. False with `error` when
// the text is not such a level.
bool readLevelFor(const std::string& picturePath, const std::string& text, Level& level,
                  std::string& error);

// What listing does to each own stage that was read: draw its picture and judge it. Each gives ""
// or a problem. Tests give their own.
struct OwnStageChecks {
    std::function<std::string(const ListedStage& stage, const Level& level)> drawPicture;
    std::function<std::string(const ListedStage& stage)> judge;
};
// The checks the game makes: the picture drawn into the cache when neither the data folder nor the
// cache holds it, the verdict read from the cache or, once, from the solver (with a console line
// while it runs).
OwnStageChecks gameChecks();

// The own stages of `folder`, numbered from `firstNumber`, each read and checked.
std::vector<ListedStage> readOwnStageFolder(const std::string& folder, int firstNumber,
                                            const OwnStageChecks& checks);

// The own stages of the player's data folder, read and checked at the first call (each problem
// reported on the console then: "Fase NAME: PROBLEM"). The checks run in a child process (forked
// before the graphics library or any thread starts: call it first thing), so that the solver's
// simulated clock and headless recorder never touch the game's, and the drawing runs on the
// graphics library without a window.
const std::vector<ListedStage>& ownStages();

// The shipped stages, then the own ones.
const std::vector<ListedStage>& listedStages();
