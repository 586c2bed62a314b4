// fases.conf: the stages the FASES screen chose for the local matches, in the configuration folder
// (config_folder.h).
//
// One line, "fases TEXT", TEXT as --fases takes it ("fases 3,7", "fases aleatorio:4",
// stage_choice.h); blank lines and lines that start with '#' are skipped. The file is outside
// input: at most kStageChoiceFileBytes are read, and a file that is not one such line is reported
// once, on the console, and left alone: the matches are then stage 1 and stage 2. Whether the
// stages it names exist is seen when a match starts.
#pragma once

#include <string>

#include "world/stage_choice.h"

inline constexpr const char* kStageChoiceFile = "fases.conf";
constexpr size_t kStageChoiceFileBytes = 4096;

struct StageChoiceFile {
    StageChoice choice;
    std::string problem;  // one console line; empty when the file was fine
};

// Reads the text of a fases.conf.
StageChoiceFile parseStageChoiceFile(const std::string& text);

// The text that gives `choice`.
std::string formatStageChoiceFile(const StageChoice& choice);

// Reads fases.conf, reporting its problem; nothing chosen without the file.
StageChoice loadStageChoice();

// Saves `choice` (nothing chosen: a file that says so). False when it could not be written
// (reported).
bool saveStageChoice(const StageChoice& choice);
