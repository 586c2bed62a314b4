// The FASES screen: what its keys do to the choice, the file that keeps the choice, and the screen
// itself saving what the player chose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "screens/screen_fixture.h"
#include "screens/stage_choice_file.h"
#include "screens/stages_choice_edit.h"
#include "screens/stages_screen.h"

namespace {

namespace fs = std::filesystem;

ListedStage listed(int number, const std::string& problem = "") {
    ListedStage stage;
    stage.number = number;
    stage.id = std::to_string(number);
    stage.name = "fase " + stage.id;
    stage.data.problem = problem;
    return stage;
}

// Stages 1 to 4, stage 3 broken.
std::vector<ListedStage> fourStages() {
    return {listed(1), listed(2), listed(3, "fases/stage3.txt: linha invalida"), listed(4)};
}

int stageRow(int index) { return kStagesFixedRows + index; }

}  // namespace

TEST(StagesChoiceEdit, StagesArePutInOrderTakenOffAndTheBrokenOneRefused) {
    const std::vector<ListedStage> stages = fourStages();
    StagesScreenState state = openStagesScreen({});
    EXPECT_EQ(applyStagesAction(state, Action::Up, stages), StagesEdit::None) << "at the top";
    for (int i = 0; i < 5; ++i) applyStagesAction(state, Action::Down, stages);
    EXPECT_EQ(state.row, stageRow(3)) << "stage 4";
    EXPECT_EQ(applyStagesAction(state, Action::Down, stages), StagesEdit::None) << "the last row";
    EXPECT_EQ(applyStagesAction(state, Action::Confirm, stages), StagesEdit::Changed);
    applyStagesAction(state, Action::Up, stages);
    EXPECT_EQ(applyStagesAction(state, Action::Confirm, stages), StagesEdit::Refused)
        << "stage 3 is broken";
    applyStagesAction(state, Action::Up, stages);
    applyStagesAction(state, Action::Confirm, stages);
    applyStagesAction(state, Action::Confirm, stages);
    EXPECT_EQ(stageChoiceText(state.choice), "4,2,2");
    EXPECT_EQ(applyStagesAction(state, Action::Left, stages), StagesEdit::Changed);
    EXPECT_EQ(stageChoiceText(state.choice), "4,2");
    EXPECT_EQ(applyStagesAction(state, Action::Right, stages), StagesEdit::None);

    // No more than a match holds.
    for (int i = 0; i < 20; ++i) applyStagesAction(state, Action::Confirm, stages);
    EXPECT_EQ(static_cast<int>(state.choice.stages.size()), kMostChosenStages);
    EXPECT_EQ(applyStagesAction(state, Action::Confirm, stages), StagesEdit::Refused);

    // The classic row clears the choice.
    while (state.row > kClassicRow) applyStagesAction(state, Action::Up, stages);
    EXPECT_EQ(applyStagesAction(state, Action::Confirm, stages), StagesEdit::Changed);
    EXPECT_TRUE(state.choice.empty());
}

TEST(StagesChoiceEdit, TheRandomRowCountsFromOneToTwelveAndAStageReplacesIt) {
    const std::vector<ListedStage> stages = fourStages();
    StageChoice random;
    random.randomCount = 3;
    StagesScreenState state = openStagesScreen(random);
    EXPECT_EQ(state.randomCount, 3) << "the random row offers the chosen count";
    applyStagesAction(state, Action::Down, stages);
    ASSERT_EQ(state.row, kRandomRow);
    EXPECT_EQ(applyStagesAction(state, Action::Right, stages), StagesEdit::Changed);
    EXPECT_EQ(stageChoiceText(state.choice), "aleatorio:4") << "a random choice follows the count";
    for (int i = 0; i < 20; ++i) applyStagesAction(state, Action::Left, stages);
    EXPECT_EQ(state.randomCount, 1);
    for (int i = 0; i < 20; ++i) applyStagesAction(state, Action::Right, stages);
    EXPECT_EQ(state.randomCount, kMostChosenStages);

    applyStagesAction(state, Action::Down, stages);
    EXPECT_EQ(applyStagesAction(state, Action::Confirm, stages), StagesEdit::Changed);
    EXPECT_EQ(stageChoiceText(state.choice), "1") << "a stage put in ends the random choice";
    applyStagesAction(state, Action::Up, stages);
    applyStagesAction(state, Action::Confirm, stages);
    EXPECT_EQ(stageChoiceText(state.choice), "aleatorio:12");
}

TEST(StagesChoiceEdit, LongListsScrollSoThatTheHighlightedRowIsShown) {
    std::vector<ListedStage> many;
    for (int n = 1; n <= 20; ++n) many.push_back(listed(n));
    StagesScreenState state;
    state.row = stageRow(0);
    EXPECT_EQ(firstShownStage(state, 20), 0);
    state.row = stageRow(kStagesVisibleStageRows - 1);
    EXPECT_EQ(firstShownStage(state, 20), 0);
    state.row = stageRow(19);
    EXPECT_EQ(firstShownStage(state, 20), 20 - kStagesVisibleStageRows);
    state.row = kRandomRow;
    EXPECT_EQ(firstShownStage(state, 20), 0);
}

TEST(StageChoiceFile, OneLineWithTheListOrNothingChosenAndEveryOtherTextReported) {
    EXPECT_EQ(stageChoiceText(parseStageChoiceFile("fases 3,7\n").choice), "3,7");
    EXPECT_EQ(stageChoiceText(parseStageChoiceFile("# c\n\nfases aleatorio:4").choice),
              "aleatorio:4");
    EXPECT_TRUE(parseStageChoiceFile("fases\n").choice.empty());
    EXPECT_TRUE(parseStageChoiceFile("").choice.empty());
    for (const StageChoice& choice :
         {StageChoice{{"12", "montanha"}, 0}, StageChoice{{}, 5}, StageChoice{}}) {
        const StageChoiceFile read = parseStageChoiceFile(formatStageChoiceFile(choice));
        EXPECT_EQ(read.problem, "");
        EXPECT_TRUE(read.choice == choice) << formatStageChoiceFile(choice);
    }
    const std::pair<std::string, std::string> broken[] = {
        {"fases 3,7\nfases 1\n", "linha 2"},
        {"fase 3,7\n", "esperado \"fases LISTA\""},
        {"fases 3 7\n", "linha 1"},
        {"fases 3,,7\n", "fase vazia"},
        {"fases aleatorio:40\n", "de 1 a 12"},
        {"fases \x01\x02\n", "(\"fases ??\")"},
    };
    for (const auto& [text, why] : broken) {
        const StageChoiceFile read = parseStageChoiceFile(text);
        EXPECT_TRUE(read.choice.empty()) << text;
        EXPECT_NE(read.problem.find(why), std::string::npos) << text << " -> " << read.problem;
        EXPECT_NE(read.problem.find("as partidas sao a fase 1 e a fase 2"), std::string::npos);
    }
}

namespace {

class StagesScreen : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        folder = fs::temp_directory_path() / ("corrida-stages-screen-" + std::to_string(getpid()));
        fs::remove_all(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    void TearDown() override {
        fs::remove_all(folder);
        unsetenv("XDG_CONFIG_HOME");
        ScreenTest::TearDown();
    }
    fs::path savedPath() const { return folder / "corrida" / kStageChoiceFile; }
    std::string savedFile() const {
        std::ifstream in(savedPath());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Every bitmap the screen loaded or created is destroyed again, and none twice.
    void expectAllReleased() {
        std::map<std::string, int> held;
        for (const std::string& instruction : instructions()) {
            std::istringstream words(instruction);
            std::string kind, name;
            words >> kind >> name;
            if (kind == "load_bitmap" || kind == "create_bitmap") {
                EXPECT_EQ(++held[name], 1) << instruction << ": a name still held";
            } else if (kind == "destroy_bitmap") {
                EXPECT_EQ(--held[name], 0) << instruction;
            }
        }
        for (const auto& [name, count] : held) EXPECT_EQ(count, 0) << name;
    }
    fs::path folder;
};

}  // namespace

TEST_F(StagesScreen, TheChosenStagesAreSavedAndShownUnderTheRows) {
    keys.press(100, KEY_DOWN)
        .press(250, KEY_DOWN)
        .press(400, KEY_DOWN)  // stage 2
        .press(550, KEY_ENTER)
        .press(700, KEY_DOWN)
        .press(850, KEY_DOWN)  // stage 4
        .press(1000, KEY_ENTER)
        .press(1150, KEY_UP)  // stage 3 is broken: refused
        .press(1300, KEY_ENTER)
        .press(1500, KEY_ESC)
        .start(10000);
    const StageChoice chosen = runStagesScreen({}, fourStages());
    EXPECT_EQ(stageChoiceText(chosen), "2,4");
    EXPECT_EQ(savedFile(), formatStageChoiceFile(chosen));
    EXPECT_EQ(loadStageChoice().stages, (std::vector<std::string>{"2", "4"}));
    // The last picture: the match "2 4" under the rows, the broken stage marked, the marker on it.
    const std::vector<std::string> draws = instructionsStartingWith("draw_sprite buffer_fases");
    const std::string matchY = " " + std::to_string(kStagesMatchY);
    EXPECT_NE(std::find(draws.begin(), draws.end(),
                        "draw_sprite buffer_fases fases_algarismo_2 " +
                            std::to_string(kStagesMatchValueX) + matchY),
              draws.end());
    EXPECT_NE(
        std::find(draws.begin(), draws.end(),
                  "draw_sprite buffer_fases fases_algarismo_4 " +
                      std::to_string(kStagesMatchValueX + 14 + kStagesMatchStageGap) + matchY),
        draws.end());
    EXPECT_NE(
        std::find(draws.begin(), draws.end(),
                  "draw_sprite buffer_fases fases_problema " + std::to_string(kStagesFigureX) +
                      " " + std::to_string(kStagesFirstRowY + stageRow(2) * kStagesRowStep)),
        draws.end());
    EXPECT_EQ(key[KEY_ESC], 0) << "the menu must not take the Esc";
    expectAllReleased();
    BITMAP* replayed = replayOnto(windowAtStart);
    EXPECT_EQ(differingPixels(window, replayed), 0);
    destroy_bitmap(replayed);
}

TEST_F(StagesScreen, LeavingWithoutAChangeWritesNothing) {
    StageChoice random;
    random.randomCount = 3;
    keys.press(100, KEY_DOWN).press(300, KEY_ESC).start(10000);
    EXPECT_TRUE(runStagesScreen(random, fourStages()) == random);
    EXPECT_FALSE(fs::exists(savedPath()));
}

TEST_F(StagesScreen, ABrokenOrOversizedFileIsReportedOnceAndNothingIsChosen) {
    fs::create_directories(folder / "corrida");
    std::ofstream(savedPath()) << "fases 3,,7\n";
    testing::internal::CaptureStdout();
    EXPECT_TRUE(loadStageChoice().empty());
    std::ofstream(savedPath()) << "# " << std::string(kStageChoiceFileBytes, 'x') << "\nfases 3\n";
    EXPECT_TRUE(loadStageChoice().empty());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("fases.conf, linha 1"), std::string::npos) << console;
    EXPECT_NE(console.find("fases.conf: arquivo grande demais"), std::string::npos) << console;
}
