// The stages a player chooses: the text of --fases and fases.conf, and the stages of a match it
// gives among a stage list.
#include "world/stage_choice.h"

#include <gtest/gtest.h>

#include <set>

#include "world/stage_difficulty.h"

namespace {

ListedStage listed(int number, const std::string& id, const std::string& problem = "") {
    ListedStage stage;
    stage.number = number;
    stage.id = id;
    stage.data.problem = problem;
    return stage;
}

std::vector<ListedStage> someStages() {
    return {listed(1, "1"), listed(2, "2"), listed(3, "3", "fases/stage3.txt:4: linha invalida"),
            listed(4, "4"), listed(13, "montanha")};
}

std::vector<int> numbersOf(const std::vector<const ListedStage*>& stages) {
    std::vector<int> numbers;
    for (const ListedStage* stage : stages) numbers.push_back(stage->number);
    return numbers;
}

}  // namespace

TEST(StageChoice, ListsAndRandomCountsReadBackAsWritten) {
    std::string error;
    for (const std::string text :
         {"3,7", "12", "1,1,2", "montanha,4", "aleatorio:1", "aleatorio:12"}) {
        const std::optional<StageChoice> choice = parseStageChoice(text, error);
        ASSERT_TRUE(choice) << text << ": " << error;
        EXPECT_EQ(stageChoiceText(*choice), text);
    }
    EXPECT_EQ(parseStageChoice("3,7", error)->stages, (std::vector<std::string>{"3", "7"}));
    EXPECT_EQ(parseStageChoice("aleatorio:4", error)->randomCount, 4);
    EXPECT_EQ(stageChoiceText({}), "");
}

TEST(StageChoice, MalformedTextsAreRefusedWithWhy) {
    const std::pair<std::string, std::string> refused[] = {
        {"", "falta a lista"},
        {"3,,7", "fase vazia"},
        {"3,", "fase vazia"},
        {",3", "fase vazia"},
        {"3;7", "fase invalida: 3;7"},
        {"../etc", "fase invalida"},
        {"aleatorio:0", "de 1 a 12"},
        {"aleatorio:13", "de 1 a 12"},
        {"aleatorio:", "de 1 a 12"},
        {"aleatorio:x", "de 1 a 12"},
        {"1,2,3,4,5,6,7,8,9,10,11,12,1", "fases demais"},
        {std::string(41, 'a'), "fase invalida"},
    };
    for (const auto& [text, why] : refused) {
        std::string error;
        EXPECT_FALSE(parseStageChoice(text, error)) << text;
        EXPECT_NE(error.find(why), std::string::npos) << text << " -> " << error;
    }
}

TEST(StageChoice, NamedStagesComeInTheirOrderByNumberOrId) {
    const std::vector<ListedStage> list = someStages();
    std::mt19937 random(1);
    std::string error;
    StageChoice choice;
    choice.stages = {"4", "montanha", "01", "1", "13"};
    EXPECT_EQ(numbersOf(stagesOfChoice(choice, list, random, error)),
              (std::vector<int>{4, 13, 1, 1, 13}));
    EXPECT_EQ(findListedStage(list, "montanha"), &list[4]);
    EXPECT_EQ(findListedStage(list, ""), nullptr);

    choice.stages = {"1", "9"};
    EXPECT_TRUE(stagesOfChoice(choice, list, random, error).empty());
    EXPECT_EQ(error, "fase desconhecida: 9");
    choice.stages = {"3"};
    EXPECT_TRUE(stagesOfChoice(choice, list, random, error).empty());
    EXPECT_EQ(error, "fase 3: fases/stage3.txt:4: linha invalida") << "refused with its reason";
}

TEST(StageChoice, RandomStagesAreDistinctPlayableAndNotAlwaysInOneOrder) {
    const std::vector<ListedStage> list = someStages();
    std::mt19937 random(7);
    std::string error;
    StageChoice choice;
    choice.randomCount = 4;
    std::set<std::vector<int>> orders;
    for (int match = 0; match < 40; ++match) {
        const std::vector<int> numbers = numbersOf(stagesOfChoice(choice, list, random, error));
        ASSERT_EQ(numbers.size(), 4u);
        EXPECT_EQ(std::set<int>(numbers.begin(), numbers.end()), (std::set<int>{1, 2, 4, 13}))
            << "every playable stage once, the broken one never";
        orders.insert(numbers);
    }
    EXPECT_GT(orders.size(), 5u);
    choice.randomCount = 5;
    EXPECT_TRUE(stagesOfChoice(choice, list, random, error).empty());
    EXPECT_EQ(error, "so ha 4 fases jogaveis para aleatorio:5");
}

TEST(StageDifficultyFile, LinesGiveEachStagesFigureAndBrokenOnesAreSkipped) {
    const auto figures = parseStageDifficulties(
        "# stage flips window\n1 16 1\n2 14 1 extra\n3 x 1\n4 4 41\n\n-1 2 2\n5 3 0\n");
    EXPECT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures.at(1), (StageDifficulty{16, 1}));
    EXPECT_EQ(figures.at(4), (StageDifficulty{4, 41}));
    EXPECT_EQ(difficultyText({16, 1}), "ate 16 viradas, janela de 1 quadro");
    EXPECT_EQ(difficultyText({1, 41}), "ate 1 virada, janela de 41 quadros");
}

TEST(StageDifficultyFile, EveryShippedStageHasItsFigure) {
    const auto figures = readStageDifficulties(kStageDifficultyFile);
    for (const ListedStage& stage : shippedStages()) {
        EXPECT_EQ(figures.count(stage.number), 1u) << "fase " << stage.number;
    }
}
