#include "screens/match_stages.h"

#include "platform/console_report.h"
#include "world/own_stages.h"

std::vector<MatchStage> matchStagesOf(const std::vector<const ListedStage*>& listed) {
    std::vector<MatchStage> stages;
    for (const ListedStage* stage : listed) stages.push_back({stage->number, &stage->data});
    return stages;
}

std::vector<MatchStage> matchStagesOf(const StageChoice& choice, std::mt19937& random) {
    if (choice.empty()) return classicMatchStages();
    std::string error;
    const std::vector<const ListedStage*> listed =
        stagesOfChoice(choice, listedStages(), random, error);
    if (listed.empty()) {
        reportLine("As fases escolhidas (" + stageChoiceText(choice) +
                   ") nao podem ser jogadas: " + error + "; a partida e a fase 1 e a fase 2.");
        return classicMatchStages();
    }
    return matchStagesOf(listed);
}
