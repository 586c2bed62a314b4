// The stage list: the shipped level files read as the game reads them, and a broken, missing or
// oversized file kept in the list with its reason, which loading the stage reports instead of a
// crash.
#include "world/stage_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "world/level_file.h"

namespace fs = std::filesystem;

namespace {

const std::string kFacts =
    "picture Img/Jogo/a.jpg\ncollision Img/Jogo/b.bmp\nspeed 2 10\nfinish 90 440 75\n";

class StageFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corrida_stage_list_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(int number, const std::string& text) {
        std::ofstream(dir_ / ("stage" + std::to_string(number) + ".txt"), std::ios::binary) << text;
    }
    std::string file(int number) const {
        return (dir_ / ("stage" + std::to_string(number) + ".txt")).string();
    }
    fs::path dir_;
};

}  // namespace

TEST(StageList, TheShippedStagesAreReadWholeFromTheirFiles) {
    const std::vector<ListedStage>& stages = shippedStages();
    ASSERT_GE(stages.size(), 12u);
    for (const ListedStage& stage : stages) {
        SCOPED_TRACE(stage.path);
        EXPECT_EQ(stage.data.problem, "");
        EXPECT_EQ(stage.data.visualPath, "Img/Jogo/visual" + std::to_string(stage.number) + ".jpg");
        EXPECT_FALSE(stage.data.markers.empty());
    }
    // Stage 1 as it always was: its markers and finish line as the level file states them.
    const StageData& one = stage1Data();
    EXPECT_FALSE(one.terrain.empty());
    EXPECT_EQ(one.width, 18000);
    ASSERT_EQ(one.markers.size(), 5u);
    EXPECT_EQ(one.markers[3].x, 14000);
    EXPECT_EQ(one.markers[3].speed, 30);
    EXPECT_EQ(one.finishLine.x, 17626);
    EXPECT_EQ(one.finishLine.bottomY, 421);
    EXPECT_EQ(one.finishLine.height, 40);
    EXPECT_EQ(stages[0].name, "colinas verdes");
    EXPECT_EQ(shippedStage(99).problem, "nao ha essa fase");
}

TEST_F(StageFolder, ABrokenStageKeepsItsPlaceWithTheReason) {
    write(1, "size 18000 480\n" + kFacts);
    write(2, "# Stage 2: x\nspeed 2 10\nfloor 0 1 \n");  // stage 2 malformed on line 3
    write(3, "size 100 48\n" + kFacts.substr(0, kFacts.find("finish")) + "finish 90 40 10\n");
    write(4, std::string(kMaxLevelBytes + 1, '#'));
    write(5, kFacts + std::string(kMaxLevelLineBytes + 1, ' ') + "\n");
    std::string many = kFacts;
    for (int i = 0; i < kMaxLevelCommands; ++i) many += "speed 3 10\n";
    write(6, many);
    // stage 7 missing: the list ends at 6
    write(8, kFacts);
    const std::vector<ListedStage> stages = readStageFolder(dir_.string());
    ASSERT_EQ(stages.size(), 6u);
    EXPECT_EQ(stages[0].data.problem, "");
    EXPECT_EQ(stages[0].name, "fase 1");
    EXPECT_EQ(stages[1].data.problem, file(2) + ":3: linha invalida: floor 0 1 ");
    EXPECT_EQ(stages[2].data.problem, file(3) + ": a fase tem 48 linhas; o jogo usa 480");
    EXPECT_EQ(stages[3].data.problem, file(4) + ": arquivo grande demais (mais de 65536 bytes)");
    EXPECT_EQ(stages[4].data.problem, file(5) + ":5: linha longa demais (mais de 200 bytes)");
    EXPECT_EQ(stages[5].data.problem, file(6) + ":1001: comandos demais (mais de 1000)");

    // Stages 1 and 2 are always listed: a folder without them says so.
    fs::remove(file(1));
    fs::remove(file(2));
    const std::vector<ListedStage> bare = readStageFolder(dir_.string());
    ASSERT_EQ(bare.size(), 6u);
    EXPECT_EQ(bare[0].data.problem, "nao foi possivel ler a fase " + file(1));
}

TEST_F(StageFolder, LoadingABrokenStageReportsItAndGivesNoStage) {
    write(1, "speed 2 10\nfinish 1 2\n");
    const ListedStage broken = readListedStage(1, file(1));
    testing::internal::CaptureStdout();
    StageLoadFailure failure = StageLoadFailure::kNone;
    EXPECT_EQ(loadStageOrReport(4, broken.data, {"Img/Jogo/player1a.bmp"}, 1, &failure), nullptr);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "Nao foi possivel carregar a fase 4: " + file(1) + ":2: linha invalida: finish 1 2\n");
    EXPECT_EQ(failure, StageLoadFailure::kBrokenLevel);
}
