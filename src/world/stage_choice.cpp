#include "world/stage_choice.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr size_t kLongestStageWord = 40;

bool wordLooksRight(const std::string& word) {
    return !word.empty() && word.size() <= kLongestStageWord &&
           std::all_of(word.begin(), word.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
           });
}

// A word as a message shows it: at most kLongestStageWord characters, printable ones only.
std::string shown(const std::string& word) {
    std::string text = word.substr(0, kLongestStageWord);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~') c = '?';
    return word.size() > kLongestStageWord ? text + "..." : text;
}

const std::string kRandomPrefix = std::string(kRandomStagesWord) + ":";

std::string tooMany() {
    return "fases demais (no maximo " + std::to_string(kMostChosenStages) + ")";
}

}  // namespace

std::optional<StageChoice> parseStageChoice(const std::string& text, std::string& error) {
    StageChoice choice;
    if (text.compare(0, kRandomPrefix.size(), kRandomPrefix) == 0) {
        const std::string count = text.substr(kRandomPrefix.size());
        const bool digits = !count.empty() && count.size() <= 2 &&
                            std::all_of(count.begin(), count.end(), [](char c) {
                                return std::isdigit(static_cast<unsigned char>(c));
                            });
        if (!digits || std::stoi(count) < 1 || std::stoi(count) > kMostChosenStages) {
            error = "numero de fases aleatorias invalido: " + shown(count) + " (de 1 a " +
                    std::to_string(kMostChosenStages) + ")";
            return std::nullopt;
        }
        choice.randomCount = std::stoi(count);
        return choice;
    }
    if (text.empty()) {
        error = "falta a lista de fases (por exemplo 3,7 ou aleatorio:3)";
        return std::nullopt;
    }
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string word = text.substr(start, comma - start);
        if (!wordLooksRight(word)) {
            error = word.empty() ? "fase vazia na lista: " + shown(text)
                                 : "fase invalida: " + shown(word);
            return std::nullopt;
        }
        if (choice.stages.size() == kMostChosenStages) {
            error = tooMany();
            return std::nullopt;
        }
        choice.stages.push_back(word);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return choice;
}

std::string stageChoiceText(const StageChoice& choice) {
    if (choice.randomCount > 0) return kRandomPrefix + std::to_string(choice.randomCount);
    std::string text;
    for (const std::string& word : choice.stages) text += (text.empty() ? "" : ",") + word;
    return text;
}

std::vector<const ListedStage*> stagesOfChoice(const StageChoice& choice,
                                               const std::vector<ListedStage>& list,
                                               std::mt19937& random, std::string& error) {
    std::vector<const ListedStage*> stages;
    if (choice.randomCount > 0) {
        for (const ListedStage& stage : list)
            if (stage.data.problem.empty()) stages.push_back(&stage);
        if (static_cast<int>(stages.size()) < choice.randomCount) {
            error = "so ha " + std::to_string(stages.size()) + " fases jogaveis para " +
                    stageChoiceText(choice);
            return {};
        }
        std::shuffle(stages.begin(), stages.end(), random);
        stages.resize(choice.randomCount);
        return stages;
    }
    for (const std::string& word : choice.stages) {
        const ListedStage* stage = findListedStage(list, word);
        if (!stage) {
            error = "fase desconhecida: " + shown(word);
            return {};
        }
        if (!stage->data.problem.empty()) {
            error = "fase " + stage->id + ": " + stage->data.problem;
            return {};
        }
        stages.push_back(stage);
    }
    return stages;
}
