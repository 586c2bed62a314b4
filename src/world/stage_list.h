// The stages a match can be played on: level files read when the game starts.
//
// The shipped stages are the files "fases/stageN.txt" of the data folder (the working directory,
// beside Img/), numbered by N from 1 up. A stage whose file is missing, too large or malformed
// still has its place in the list with the reason (StageData::problem): the game starts, the reason
// is reported once on the console, and a match that reaches that stage ends it in order.
#pragma once

#include <string>
#include <vector>

#include "world/level_file.h"
#include "world/stage_loading.h"

// The shipped stages' folder, relative to the data folder.
inline constexpr const char* kShippedStageFolder = "fases";
// The most stage files a folder may hold for the list.
constexpr int kMaxListedStages = 99;

struct ListedStage {
    int number = 0;    // N of stageN.txt; an own stage's place in the whole list
    std::string id;    // what names it on the command line: N for a shipped stage, NAME for own
    std::string path;  // the level file, as reported
    std::string name;  // the stage's name: the level file's first comment, or "fase N"
    StageData data;    // data.problem set when the file gave no stage
    int theme = 1;
    std::string levelText;  // the level file's text, for the clients that lack the picture
};

// What the game needs of a read level: its image paths, width, markers and finish line.
StageData stageDataOf(const Level& level);

// Reads the level file at `path` (its text through readLevelText): the stage, or one whose problem
// says why there is none.
ListedStage readListedStage(int number, const std::string& path);

// Reads "stageN.txt" for N = 1, 2, ... from `folder` until the first N without a file (stages 1 and
// 2 are always listed, with a problem when their files are missing), at most kMaxListedStages.
std::vector<ListedStage> readStageFolder(const std::string& folder);

// The shipped stages, read from kShippedStageFolder at the first call; each problem is reported on
// the console then ("Fase N: PROBLEM").
const std::vector<ListedStage>& shippedStages();

// The stage of `list` that `word` names: its id, or its number as listed ("3", "03"); null when
// none does.
const ListedStage* findListedStage(const std::vector<ListedStage>& list, const std::string& word);

// Shipped stage `number` (1 up); one with a problem when there is no such stage.
const StageData& shippedStage(int number);
