#include "world/stage_loading.h"

#include <gtest/gtest.h>
#include <jpgalleg.h>

#include <filesystem>
#include <fstream>

#include "platform/file_problem.h"
#include "support/descriptor_shortage.h"
#include "world/boost_tela.h"
#include "world/linha_chegada.h"
#include "world/runner.h"
#include "world/runner_sprites.h"
#include "world/stage_image_error.h"
#include "world/world_fixture.h"

namespace {

const std::vector<std::string>& kSprites = runnerSpritesInOrder();

// A directory with a small picture "Img/Jogo/v1.bmp" (a server loads no image: it paints the
// collision bitmap from the level's terrain).
class StageImages : public TempImageDir {
  public:
    StageImages() {
        BITMAP* picture = whiteBitmap(64, 480);
        save("Img/Jogo/v1.bmp", picture);
        destroy_bitmap(picture);
    }
};

// Stage 1 with the small picture, for local play.
StageData stage1WithSmallPicture() {
    StageData stage = stage1Data();
    stage.visualPath = "Img/Jogo/v1.bmp";
    return stage;
}

std::string load(int id, const std::string& path) {
    return "load_bitmap bitmap" + std::to_string(id) + " " + path;
}

TEST(StageLoading, ServerRecordsTheLoadInOrderAndFlushesTheLoadingScreenFirst) {
    StageImages images;
    RecorderScope server(2);
    const int camera = nextObjectId();
    auto map = loadStage1(kSprites, 2);

    const auto batches = server.takeBatches();
    ASSERT_FALSE(batches.empty());
    EXPECT_EQ(batches[0],
              "load_bitmap carregando Img/menu/bg_carregando.jpg;draw_sprite screen carregando 0 0;"
              "destroy_bitmap carregando;");

    const std::vector<std::string> expected = {
        "load_bitmap carregando Img/menu/bg_carregando.jpg",
        "draw_sprite screen carregando 0 0",
        "destroy_bitmap carregando",
        "load_bitmap mapaVisual Img/Jogo/visual1.jpg",
        "create_bitmap bufferVisual 18000 480",
        "draw_sprite bufferVisual mapaVisual 0 0",
        load(camera, "Img/Jogo/pixelTransparente.bmp"),
        "load_bitmap bitmapBase" + std::to_string(camera + 1) + " Img/Jogo/player1a.bmp",
        "load_bitmap bitmapTecla" + std::to_string(camera + 1) + " Img/Jogo/1.bmp",
        "create_bitmap bitmap" + std::to_string(camera + 1) + " 42 47",
        "blit bitmapBase" + std::to_string(camera + 1) + " bitmap" + std::to_string(camera + 1) +
            " 0 49 0 0 42 47",
        "load_bitmap bitmapBase" + std::to_string(camera + 2) + " Img/Jogo/player2a.bmp",
        "load_bitmap bitmapTecla" + std::to_string(camera + 2) + " Img/Jogo/2.bmp",
        "create_bitmap bitmap" + std::to_string(camera + 2) + " 42 47",
        "blit bitmapBase" + std::to_string(camera + 2) + " bitmap" + std::to_string(camera + 2) +
            " 0 49 0 0 42 47",
        load(camera + 3, "Img/Jogo/pixelTransparente.bmp"),
        load(camera + 4, "Img/Jogo/pixelTransparente.bmp"),
        load(camera + 5, "Img/Jogo/pixelTransparente.bmp"),
        load(camera + 6, "Img/Jogo/pixelTransparente.bmp"),
        load(camera + 7, "Img/Jogo/pixelTransparente.bmp"),
        load(camera + 8, "Img/Jogo/pixelTransparente.bmp"),
    };
    std::vector<std::string> recorded;
    for (const auto& batch : batches) {
        for (auto& instruction : splitBatch(batch)) recorded.push_back(instruction);
    }
    for (auto& instruction : server.takeInstructions()) recorded.push_back(instruction);
    EXPECT_EQ(recorded, expected);

    // A server loads no picture and installs no key timer.
    EXPECT_EQ(map->visual(), nullptr);
    EXPECT_EQ(map->buffer(), nullptr);
    ASSERT_NE(map->collisionWork(), nullptr);
    EXPECT_EQ(map->collisionWork()->w, 18000);
    for (const auto& [colour, runner] : map->playerRegistry()) {
        EXPECT_EQ(runner->spriteSheet(), nullptr);
        EXPECT_EQ(runner->image(), nullptr);
        EXPECT_FALSE(runner->keyPollRunning());
    }
}

TEST(StageLoading, StageOneHoldsItsRunnersMarkersAndFinishLine) {
    StageImages images;
    RecorderScope server(1);
    auto map = loadStage1(kSprites, 6);

    const StartPosition starts[] = {{270, 100}, {270, 155}, {270, 230},
                                    {270, 285}, {220, 155}, {220, 285}};
    int player = 1;
    for (const auto& [colour, runner] : map->playerRegistry()) {
        EXPECT_EQ(runner->playerNumber(), player);
        EXPECT_EQ(runner.get(), map->runnerOf(player));
        EXPECT_EQ(runner->x(), starts[player - 1].x);
        EXPECT_EQ(runner->y(), starts[player - 1].y);
        EXPECT_EQ(runner->width(), 42);
        EXPECT_EQ(runner->height(), 47);
        EXPECT_EQ(runner->kind(), ObjectKind::kRunner);
        ++player;
    }
    EXPECT_EQ(player, 7);

    std::vector<std::pair<int, int>> markers;
    const LinhaChegada* line = nullptr;
    for (const auto& [colour, object] : map->objectRegistry()) {
        if (const auto* boost = dynamic_cast<const BoostTela*>(object.get())) {
            EXPECT_EQ(object->kind(), ObjectKind::kSpeedMarker);
            EXPECT_EQ(object->y(), 480);
            EXPECT_EQ(object->height(), 480);
            EXPECT_EQ(object->width(), 0);
            markers.emplace_back(boost->x(), boost->speed());
        } else {
            line = dynamic_cast<const LinhaChegada*>(object.get());
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(object->kind(), ObjectKind::kFinishLine);
        }
    }
    const std::vector<std::pair<int, int>> expectedMarkers = {
        {2, 10}, {5000, 13}, {10400, 15}, {14000, 30}, {16700, 15}};
    EXPECT_EQ(markers, expectedMarkers);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x(), 17626);
    EXPECT_EQ(line->y(), 421);
    EXPECT_EQ(line->height(), 40);
    // The finish line is the last object registered.
    EXPECT_EQ(map->objectRegistry().rbegin()->second.get(), line);
}

TEST(StageLoading, OnePlayerFillsOnlyTheFirstTableEntryAndKeepsEveryMarker) {
    StageImages images;
    RecorderScope server(1);
    auto map = loadStage2(kSprites, 1);
    EXPECT_NE(map->runnerOf(1), nullptr);
    for (int player = 2; player <= 6; ++player) EXPECT_EQ(map->runnerOf(player), nullptr);
    EXPECT_EQ(map->playerRegistry().size(), 1u);
    EXPECT_EQ(map->objectRegistry().size(), 7u);  // six markers and the finish line
    const Objeto* line = map->objectRegistry().rbegin()->second.get();
    EXPECT_EQ(line->x(), 16427);
    EXPECT_EQ(line->y(), 440);
    EXPECT_EQ(line->height(), 75);
}

TEST(StageLoading, TheCameraTakesTheFirstMarkersSpeedWithinTwoFrames) {
    StageImages images;
    RecorderScope server(1);
    SimulatedClockScope clock;
    for (auto* load : {&loadStage1, &loadStage2}) {
        auto map = (*load)(kSprites, 1);
        map->raceFrame();
        EXPECT_EQ(map->camera().x(), 1);
        EXPECT_EQ(map->camera().speedX(), 1.0);
        map->raceFrame();
        EXPECT_EQ(map->camera().x(), 2);
        EXPECT_EQ(map->camera().speedX(), load == &loadStage1 ? 10.0 : 11.0);
    }
}

TEST(StageLoading, StageTwoContinuesIdsWhereStageOneEndedAndCountsItsOwnIdentityColours) {
    StageImages images;
    RecorderScope server(1);
    auto stage1 = loadStage1(kSprites, 2);
    const int lastId = stage1->objectRegistry().rbegin()->second->id();
    const int firstColour = stage1->playerRegistry().begin()->first;
    stage1.reset();
    auto stage2 = loadStage2(kSprites, 2);
    EXPECT_EQ(stage2->camera().id(), lastId + 1);
    const Runner* first = stage2->playerRegistry().begin()->second.get();
    EXPECT_EQ(first->id(), lastId + 2);
    // The ids name bitmaps in the record, so they keep rising; colours are the stage's own.
    EXPECT_EQ(firstColour, makecol(0, 0, 2));
    EXPECT_EQ(first->identityColour(), firstColour);
}

// What loadStageOrReport prints on the console for `stage`, and whether it gave a map.
std::pair<std::string, bool> reportedLoad(int stageNumber, const StageData& stage) {
    testing::internal::CaptureStdout();
    const bool loaded = loadStageOrReport(stageNumber, stage, kSprites, 2) != nullptr;
    return {testing::internal::GetCapturedStdout(), loaded};
}

TEST(StageLoading, MissingImagesAreReportedWithTheStageAndThePath) {
    TempImageDir empty;
    using Report = std::pair<std::string, bool>;
    {
        RecorderScope server(1);
        // A server loads no image at all.
        EXPECT_NE(loadStage1(kSprites, 1), nullptr);
        EXPECT_EQ(reportedLoad(1, stage1Data()), Report("", true));
    }
    RecorderScope local(0);
    // The loading picture is missing too, and says so on its own line.
    EXPECT_EQ(reportedLoad(2, stage2Data()),
              Report("Imagem nao encontrada: Img/menu/bg_carregando.jpg\n"
                     "Nao foi possivel carregar a fase 2: imagem Img/Jogo/visual2.jpg nao "
                     "encontrada.\n",
                     false));
}

TEST(StageLoading, AStageWithoutMemoryForItsBitmapsIsReportedAndLeavesNothingBehind) {
    StageImages images;
    RecorderScope server(1);
    {
        // The collision bitmap, 18000 x 480, cannot be had.
        BitmapMemoryShortage shortage(18000 * 480);
        EXPECT_EQ(reportedLoad(1, stage1Data()),
                  std::make_pair(std::string("Nao foi possivel carregar a fase 1: falta memoria "
                                             "para uma imagem de 18000 x 480.\n"),
                                 false));
    }
    // The receivers are told to free the picture the record had them load.
    const auto recorded = server.takeInstructions();
    ASSERT_GE(recorded.size(), 2u);
    EXPECT_EQ(recorded[recorded.size() - 2], "load_bitmap mapaVisual Img/Jogo/visual1.jpg");
    EXPECT_EQ(recorded.back(), "destroy_bitmap mapaVisual");
    // With memory back, the same stage loads.
    EXPECT_NE(loadStage1(kSprites, 2), nullptr);
}

// Out of descriptors (a flood of connections took them), the picture is not called broken:
// the stage says what is missing, leaves nothing behind, and loads once a descriptor is free.
TEST(StageLoading, ALackOfDescriptorsIsNotABrokenImage) {
    StageImages images;
    RecorderScope local(0);
    forgetReportedFilesForTesting();
    const StageData stage = stage1WithSmallPicture();
    StageLoadFailure failure = StageLoadFailure::kNone;
    // UndefinedBehaviorSanitizer looks at each polymorphic type the first time it meets it through
    // a pipe, which a process without descriptors cannot open: the same loads once beforehand
    // (one that works, one whose image is missing), so that its checks are made with descriptors.
    StageData missing = stage1Data();
    missing.visualPath = "Img/Jogo/nao_existe.bmp";
    testing::internal::CaptureStdout();
    EXPECT_NE(loadStageOrReport(1, stage, kSprites, 2), nullptr);
    EXPECT_EQ(loadStageOrReport(1, missing, kSprites, 2), nullptr);
    testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    {
        DescriptorShortage shortage;
        EXPECT_EQ(loadStageOrReport(1, stage, kSprites, 2, &failure), nullptr);
        EXPECT_EQ(problemOf("Img/Jogo/v1.bmp"), FileProblem::kNoDescriptors);
        EXPECT_EQ(problemOf("Img/Jogo/nao_existe.bmp"), FileProblem::kMissing);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Nao foi possivel carregar a fase 1 agora: faltam descritores de arquivo para abrir "
              "a imagem Img/Jogo/v1.bmp (arquivos abertos demais).\n");
    EXPECT_EQ(failure, StageLoadFailure::kNoDescriptors);
    EXPECT_NE(loadStageOrReport(1, stage, kSprites, 2, &failure), nullptr);
    EXPECT_EQ(failure, StageLoadFailure::kNone);
}

// A file reported for a lack of descriptors is not marked as reported: broken later, it says so.
TEST(StageLoading, AFileThatLackedADescriptorIsStillReportedWhenBroken) {
    TempImageDir dir;
    std::filesystem::create_directories(dir.path() / "Img");
    { std::ofstream(dir.path() / "Img/quebrada.bmp") << "not a picture"; }
    forgetReportedFilesForTesting();
    testing::internal::CaptureStdout();
    {
        DescriptorShortage shortage;
        EXPECT_TRUE(reportFileProblem(FileKind::kImage, "Img/quebrada.bmp"));
        // Said once, not at every frame that tries again.
        EXPECT_FALSE(reportFileProblem(FileKind::kImage, "Img/quebrada.bmp"));
    }
    EXPECT_TRUE(reportFileProblem(FileKind::kImage, "Img/quebrada.bmp"));
    EXPECT_FALSE(reportFileProblem(FileKind::kImage, "Img/quebrada.bmp"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Imagem nao carregada, faltam descritores de arquivo (arquivos abertos demais): "
              "Img/quebrada.bmp\n"
              "Imagem ilegivel: Img/quebrada.bmp\n");
}

TEST(StageLoading, RejectsPlayerCountsWithoutRunnerTableEntries) {
    RecorderScope server(1);
    EXPECT_THROW(loadStage1(kSprites, 0), std::invalid_argument);
    EXPECT_THROW(loadStage1(kSprites, 7), std::invalid_argument);
    EXPECT_THROW(loadStage1({"one.bmp"}, 2), std::invalid_argument);
    EXPECT_TRUE(server.takeInstructions().empty());  // refused before drawing anything
}

}  // namespace

namespace {

// Local play with the generated images: the pictures load, and each runner's key is polled by a
// 5 ms timer of the graphics library.
TEST(StageLoadingLocal, LoadsThePicturesAndPollsEachRunnersKeyEvery5Ms) {
    if (!std::filesystem::exists("Img/Jogo/visual1.jpg") ||
        !std::filesystem::exists("Img/Jogo/player1a.bmp")) {
        GTEST_SKIP() << "the generated stage images are not in Img/ (build the images target)";
    }
    jpgalleg_init();
    RecorderScope local(0);
    auto map = loadStage1(kSprites, 2);
    EXPECT_NE(map->visual(), nullptr);
    EXPECT_NE(map->buffer(), nullptr);
    Runner* first = map->runnerOf(1);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->spriteSheet(), nullptr);
    EXPECT_NE(first->keyImage(), nullptr);
    EXPECT_NE(first->image(), nullptr);
    if (!first->keyPollRunning()) {
        GTEST_SKIP() << "pictures checked; the graphics library has no timer driver without a "
                        "display, so the key timer is left to the end-to-end tests";
    }

    setGrounded(*first, true);
    key[KEY_X] = 1;
    for (int waited = 0; waited < 500 && key[KEY_X]; waited += 5) rest(5);
    EXPECT_EQ(key[KEY_X], 0) << "the timer consumed the press";
    EXPECT_EQ(first->gravity(), -1);
    EXPECT_EQ(map->runnerOf(2)->gravity(), 1) << "only player 1's runner flipped";
    map.reset();  // removes the timers before the runners go
}

}  // namespace
