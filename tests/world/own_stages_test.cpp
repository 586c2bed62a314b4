// Players' own stages: the cache's paths (nothing outside it), the listing of a stages folder, the
// picture drawn and the verdict kept once per level.
#include "world/own_stages.h"

#include <gtest/gtest.h>
#include <jpgalleg.h>

#include <filesystem>
#include <fstream>

#include "platform/cache_folder.h"
#include "platform/image_file.h"
#include "world/level_hash.h"
#include "world/xdg_homes.h"

namespace fs = std::filesystem;

namespace {

TEST(CacheFolder, OnlyPathsTheProgramBuildsAreCachePaths) {
    for (const char* path : {"Img/fases/muro-0123456789abcdef.jpg", "veredictos/ab.txt", "a"})
        EXPECT_TRUE(isCachePath(path)) << path;
    for (const std::string& path : std::vector<std::string>{
             "", "/etc/passwd", "../x", "Img/../../x", "Img/./x", "Img//x", "Img/.x", "Img/x/",
             "Img/a b.jpg", "Img\\x", "Img/x\n", "Img/\xc3\xa9.jpg", std::string(201, 'a')})
        EXPECT_FALSE(isCachePath(path)) << path;
}

TEST(CacheFolder, WritesOnlyInsideTheCacheAndTheLoaderLooksThereAfterTheDataFolder) {
    XdgHomes homes;
    EXPECT_EQ(cacheFolder(), homes.cache().string());
    EXPECT_EQ(userDataFolder(), (homes.root() / "data" / "corrida").string());
    std::string error;
    const auto writeText = [](const std::string& file) {
        std::ofstream(file) << "texto";
        return true;
    };
    for (const char* refused : {"../fora.txt", "/tmp/fora.txt", "Img/../../fora.txt"}) {
        EXPECT_FALSE(storeInCache(refused, writeText, error)) << refused;
        EXPECT_NE(error.find("caminho recusado"), std::string::npos) << error;
    }
    EXPECT_FALSE(storeInCache(
        "veredictos/falha.txt", [](const std::string&) { return false; }, error));
    ASSERT_TRUE(storeInCache("Img/fases/x.txt", writeText, error)) << error;
    const std::vector<std::string> expected = {"cache/corrida/Img/fases/x.txt"};
    EXPECT_EQ(homes.files(), expected) << "no temporary file left, nothing outside the cache";
    EXPECT_EQ(imageFileOf("Img/fases/x.txt"), (homes.cache() / "Img/fases/x.txt").string());
    EXPECT_EQ(imageFileOf("Img/fases/nao.txt"), "Img/fases/nao.txt");
    // A relative variable is no folder (the XDG rules): the home's default instead.
    setenv("XDG_CACHE_HOME", "relativa", 1);
    EXPECT_EQ(cacheFolder(), std::string(std::getenv("HOME")) + "/.cache/corrida");
}

TEST(OwnStagePaths, ThePictureIsNamedByTheStageAndTheLevelsHash) {
    const std::string path = ownStagePicturePath("muro", kWallStage);
    EXPECT_EQ(path, "Img/fases/muro-" + levelHashText(levelHash(kWallStage)) + ".jpg");
    EXPECT_NE(path, ownStagePicturePath("muro", std::string(kWallStage) + "\n"));
    EXPECT_EQ(ownStageNameOf(path), "muro");
    for (const char* other : {"Img/Jogo/visual1.jpg", "Img/fases/-0123456789abcdef.jpg",
                              "Img/fases/a.b-0123456789abcdef.jpg", "Img/fases/x.jpg"})
        EXPECT_EQ(ownStageNameOf(other), "") << other;
    // 64-bit FNV-1a's published values.
    EXPECT_EQ(levelHash(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(levelHash("a"), 0xaf63dc4c8601ec8cull);
}

// Checks that record what they were asked and judge by the stage's id.
struct RecordingChecks {
    std::vector<std::string> drawn, judged;
    OwnStageChecks checks() {
        return {[this](const ListedStage& stage, const Level& level) {
                    drawn.push_back(stage.id + " " + std::to_string(level.width));
                    return std::string();
                },
                [this](const ListedStage& stage) {
                    judged.push_back(stage.id);
                    return stage.id == "parede"
                               ? std::string("a partir da largada 1 nao chega ao fim")
                               : std::string();
                }};
    }
};

TEST(OwnStages, TheFolderIsListedByNameWithProblemsAndReasonsInPlace) {
    XdgHomes homes;
    homes.writeOwnStage("muro", std::string(kWallStage) + "picture Img/Jogo/visual1.jpg\n");
    homes.writeOwnStage("parede", kImpassableStage);
    homes.writeOwnStage("quebrada", "size 2600 480\nfloor 0 10\n");
    homes.writeOwnStage("alta", "size 2600 400\nspeed 2 10\nfinish 2000 300 75\n");
    homes.writeOwnStage("nome com espaco", kWallStage);
    homes.writeOwnStage("x.y", kWallStage);
    fs::create_directories(homes.ownStages() / "pasta.txt");
    std::ofstream(homes.ownStages() / "leia.md") << "nao e fase";
    RecordingChecks recorded;
    const std::vector<ListedStage> stages =
        readOwnStageFolder(homes.ownStages().string(), 13, recorded.checks());
    ASSERT_EQ(stages.size(), 4u);
    const std::string folder = homes.ownStages().string() + "/";
    EXPECT_EQ(stages[0].id, "alta");
    EXPECT_EQ(stages[0].number, 13);
    EXPECT_EQ(stages[0].data.problem, folder + "alta.txt: a fase tem 400 linhas; o jogo usa 480");
    EXPECT_EQ(stages[1].id, "muro");
    EXPECT_EQ(stages[1].name, "um muro");
    EXPECT_EQ(stages[1].data.problem, "");
    EXPECT_EQ(
        stages[1].data.visualPath,
        ownStagePicturePath("muro", std::string(kWallStage) + "picture Img/Jogo/visual1.jpg\n"))
        << "an own stage's picture line is ignored";
    EXPECT_EQ(stages[1].data.width, 2600);
    EXPECT_EQ(stages[2].data.problem,
              folder + "parede.txt: a fase nao e jogavel: a partir da largada 1 nao chega ao fim");
    EXPECT_EQ(stages[3].data.problem, folder + "quebrada.txt:2: linha invalida: floor 0 10");
    EXPECT_EQ(stages[3].number, 16);
    const std::vector<std::string> drawn = {"muro 2600", "parede 2600"};
    EXPECT_EQ(recorded.drawn, drawn) << "only stages that read are drawn";
    const std::vector<std::string> judged = {"muro", "parede"};
    EXPECT_EQ(recorded.judged, judged);
}

TEST(OwnStages, AtMostFiftyAreListed) {
    XdgHomes homes;
    for (int i = 0; i < kMaxOwnStages + 5; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "f%02d", i);
        homes.writeOwnStage(name, kWallStage);
    }
    RecordingChecks recorded;
    testing::internal::CaptureStdout();
    const auto stages = readOwnStageFolder(homes.ownStages().string(), 1, recorded.checks());
    const std::string console = testing::internal::GetCapturedStdout();
    ASSERT_EQ(stages.size(), size_t(kMaxOwnStages));
    EXPECT_EQ(stages.back().id, "f49");
    EXPECT_NE(console.find("Fases proprias demais"), std::string::npos) << console;
}

// The game's own checks, on a real stage: the picture lands in the cache and the solver's verdict
// is kept there, so neither is made again for the same level.
TEST(OwnStages, ThePictureIsDrawnAndTheVerdictMadeOncePerLevel) {
    XdgHomes homes;
    homes.writeOwnStage("muro", kWallStage);
    homes.writeOwnStage("parede", kImpassableStage);
    testing::internal::CaptureStdout();
    auto stages = readOwnStageFolder(homes.ownStages().string(), 13, gameChecks());
    std::string console = testing::internal::GetCapturedStdout();
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].data.problem, "");
    EXPECT_NE(stages[1].data.problem.find("a fase nao e jogavel: a partir da largada 1 nao chega "
                                          "ao fim"),
              std::string::npos)
        << stages[1].data.problem;
    EXPECT_NE(console.find("Conferindo a fase muro"), std::string::npos) << console;
    const std::string wallHash = levelHashText(levelHash(kWallStage));
    const std::string wallPicture = "cache/corrida/Img/fases/muro-" + wallHash + ".jpg";
    const std::vector<std::string> expected = {
        "cache/corrida/Img/fases/muro-" + wallHash + ".jpg",
        "cache/corrida/Img/fases/parede-" + levelHashText(levelHash(kImpassableStage)) + ".jpg",
        "cache/corrida/veredictos/" + levelHashText(levelHash(kImpassableStage)) + ".txt",
        "cache/corrida/veredictos/" + wallHash + ".txt",
        "data/corrida/fases/muro.txt",
        "data/corrida/fases/parede.txt",
    };
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(homes.files(), sorted);
    jpgalleg_init();  // as the graphics start-up does
    BitmapHandle picture = loadImageFile(stages[0].data.visualPath);
    ASSERT_TRUE(picture) << "the loader finds the cached picture under its Img/ path";
    EXPECT_EQ(picture->w, 2600);
    EXPECT_EQ(picture->h, 480);

    // Neither is made again: a verdict changed in the cache is what the next listing says.
    std::ofstream(homes.cache() / "veredictos" / (wallHash + ".txt")) << "guardado\n";
    const auto pictureTime = fs::last_write_time(homes.root() / wallPicture);
    testing::internal::CaptureStdout();
    stages = readOwnStageFolder(homes.ownStages().string(), 13, gameChecks());
    console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, "");
    EXPECT_EQ(stages[0].data.problem,
              homes.ownStages().string() + "/muro.txt: a fase nao e jogavel: guardado");
    EXPECT_EQ(fs::last_write_time(homes.root() / wallPicture), pictureTime);
}

}  // namespace
