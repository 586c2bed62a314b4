#include "screens/stage_choice_file.h"

#include <fstream>
#include <sstream>

#include "platform/config_folder.h"
#include "platform/console_report.h"

namespace {

constexpr const char* kStagesWord = "fases";

std::string problemAt(int lineNumber, std::string line, const std::string& why) {
    if (line.size() > 60) line = line.substr(0, 60) + "...";
    for (char& c : line)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~') c = '?';
    return std::string(kStageChoiceFile) + ", linha " + std::to_string(lineNumber) + " (\"" + line +
           "\"): " + why + "; as partidas sao a fase 1 e a fase 2.";
}

}  // namespace

StageChoiceFile parseStageChoiceFile(const std::string& text) {
    StageChoiceFile file;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    bool chosen = false;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string word, value, extra;
        if (!(words >> word) || word[0] == '#') continue;
        if (word != kStagesWord || chosen || words >> value >> extra) {
            file.problem = problemAt(lineNumber, line, "esperado \"fases LISTA\" numa unica linha");
            file.choice = {};
            return file;
        }
        chosen = true;
        if (value.empty()) continue;  // "fases" alone: nothing chosen
        std::string error;
        const std::optional<StageChoice> choice = parseStageChoice(value, error);
        if (!choice) {
            file.problem = problemAt(lineNumber, line, error);
            return file;
        }
        file.choice = *choice;
    }
    return file;
}

std::string formatStageChoiceFile(const StageChoice& choice) {
    return "# As fases das partidas locais, escolhidas na tela FASES.\n" +
           std::string(kStagesWord) + (choice.empty() ? "" : " " + stageChoiceText(choice)) + "\n";
}

StageChoice loadStageChoice() {
    const std::string path = configFile(kStageChoiceFile);
    if (path.empty()) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(kStageChoiceFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kStageChoiceFileBytes) {
        reportLine(std::string(kStageChoiceFile) + ": arquivo grande demais (mais de " +
                   std::to_string(kStageChoiceFileBytes) +
                   " bytes); as partidas sao a fase 1 e a fase 2.");
        return {};
    }
    const StageChoiceFile file = parseStageChoiceFile(text);
    if (!file.problem.empty()) reportLine(file.problem);
    return file.choice;
}

bool saveStageChoice(const StageChoice& choice) {
    return writeConfigFile(kStageChoiceFile, formatStageChoiceFile(choice));
}
