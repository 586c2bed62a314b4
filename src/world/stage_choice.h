// Which stages a match is played on, as a player chose them: stages named in order ("3,7,1": the
// numbers or ids of the stage list, stage_list.h), or "aleatorio:K", K distinct playable stages in
// a new random order for each match. Nothing chosen: stage 1 and then stage 2.
//
// The same text is the value of --fases and the content of fases.conf (stage_choice_file.h).
#pragma once

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "world/stage_list.h"

// The most stages one choice may name (one match plays them all).
constexpr int kMostChosenStages = 12;

inline constexpr const char* kRandomStagesWord = "aleatorio";

struct StageChoice {
    std::vector<std::string> stages;  // the words, in order; empty when random or nothing chosen
    int randomCount = 0;              // aleatorio:K: K; 0 when the stages are named

    bool empty() const { return stages.empty() && randomCount == 0; }
    bool operator==(const StageChoice& other) const {
        return stages == other.stages && randomCount == other.randomCount;
    }
};

// Reads "a,b,c" or "aleatorio:K" (K from 1 to kMostChosenStages); the words are checked only for
// their form (letters, digits, '-' and '_', at most 40 characters). Nothing, with `error` set to
// why, when the text is not a choice.
std::optional<StageChoice> parseStageChoice(const std::string& text, std::string& error);

// The text parseStageChoice reads back; empty for nothing chosen.
std::string stageChoiceText(const StageChoice& choice);

// The stages of one match by `choice` among `list`: each named stage in order, or randomCount
// distinct stages without a problem drawn with `random`. Empty, with `error` set, when a word names
// no stage ("fase desconhecida: W"), a named stage has a problem ("fase N: PROBLEM"), or fewer
// stages than asked for can be played.
std::vector<const ListedStage*> stagesOfChoice(const StageChoice& choice,
                                               const std::vector<ListedStage>& list,
                                               std::mt19937& random, std::string& error);
