// A stage a client lacks: the server's answers to stageLevel (only the stages of its list, a few
// times a minute per address), the client's checks of what it receives (size, hash, the level of
// the picture it asked for) and the picture it then draws into its cache, through the real ORB.
// And the console line a classic client gets when the match plays other stages.
#include <gtest/gtest.h>
#include <jpgalleg.h>

#include <filesystem>
#include <thread>

#include "loopback_orb.h"
#include "net/fifo_server_impl.h"
#include "net/login_impl.h"
#include "net/server_context.h"
#include "net/stage_level_fetch.h"
#include "platform/clock.h"
#include "platform/image_file.h"
#include "world/level_hash.h"
#include "world/own_stages.h"
#include "world/xdg_homes.h"

namespace {

class StageLevels : public ::testing::Test {
  protected:
    StageLevels() {
        useSimulatedClock(1000);
        stages.push_back(readOwnStage(13, "muro", "muro.txt", kWallStage));
        stages.push_back(readOwnStage(14, "parede", "parede.txt", kImpassableStage));
        stages.back().data.problem = "parede.txt: a fase nao e jogavel: ...";
        context.stages = &stages;
    }
    ~StageLevels() override { useRealClock(); }

    std::pair<std::string, uint64_t> ask(const std::string& path) {
        CORBA::ULongLong hash = 99;
        CORBA::String_var text = fifo.stageLevel(path.c_str(), hash);
        return {text.in(), hash};
    }
    std::string wallPicture() const { return stages[0].data.visualPath; }

    std::vector<ListedStage> stages;
    ServerContext context{2};
    std::string caller = "10.0.0.1";
    const CallerHost callerHost = [this] { return caller; };
    FifoServer_impl fifo{context, callerHost};
    Login_impl login{context, callerHost};
};

TEST_F(StageLevels, TheServerSendsOnlyTheLevelsOfThePlayableStagesOfItsList) {
    EXPECT_EQ(ask(wallPicture()), std::make_pair(std::string(kWallStage), levelHash(kWallStage)));
    const std::pair<std::string, uint64_t> nothing{"", 0};
    EXPECT_EQ(ask(stages[1].data.visualPath), nothing) << "a stage that is not played";
    for (const std::string other :
         {"Img/Jogo/visual1.jpg", "Img/fases/muro-0000000000000000.jpg", "../../etc/passwd", ""})
        EXPECT_EQ(ask(other), nothing) << other;
    context.stages = nullptr;
    EXPECT_EQ(ask(wallPicture()), nothing) << "a server without a list";
}

TEST_F(StageLevels, EachAddressAsksAFewTimesAMinute) {
    for (int i = 0; i < LevelFetchRate::kPerMinute; ++i) ask("Img/x.jpg");
    EXPECT_THROW(ask(wallPicture()), CORBA::NO_RESOURCES);
    EXPECT_EQ(context.refusals.callsInFlight.load(), 1u);
    caller = "10.0.0.2";
    EXPECT_EQ(ask(wallPicture()).first, kWallStage) << "another address asks on its own count";
    caller = "10.0.0.1";
    advanceSimulatedClock(60000);
    EXPECT_EQ(ask(wallPicture()).first, kWallStage) << "a minute later";
}

TEST_F(StageLevels, AClassicClientIsToldOfOtherStagesOncePerClient) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(login.logar(), 1) << "a match of stages 1 and 2: nothing to say";
    context.otherStagesInMatch = true;
    caller = "10.0.0.2";
    EXPECT_EQ(login.logar(), 2);
    context.classicNotice.noteJoin("10.0.0.2", 2);  // the same client again
    context.classicNotice.noteJoin("10.0.0.3", 2);  // another client under that number
    const std::string console = testing::internal::GetCapturedStdout();
    const std::string told =
        " entrou com um cliente classico, que so tem as fases 1 e 2: as outras fases desta "
        "partida nao aparecem para ele.\n";
    EXPECT_EQ(console, "O jogador 2 (10.0.0.2)" + told + "O jogador 2 (10.0.0.3)" + told);
}

TEST(FetchedLevel, WhatDoesNotMatchIsRefusedAndNothingIsWritten) {
    XdgHomes homes;
    const std::string wall = kWallStage;
    const std::string picture = ownStagePicturePath("muro", wall);
    std::string error;
    const auto refused = [&](const std::string& path, const FetchedLevel& fetched) {
        error.clear();
        return !drawFetchedLevel(path, fetched, error);
    };
    EXPECT_TRUE(refused(picture, {"", 0}));
    EXPECT_EQ(error, "O servidor nao tem a fase da imagem " + picture + ".");
    const std::string huge(kMaxLevelBytes + 1, '#');
    EXPECT_TRUE(refused(picture, {huge, levelHash(huge)}));
    EXPECT_NE(error.find("e grande demais (65537 bytes)"), std::string::npos) << error;
    EXPECT_TRUE(refused(picture, {wall, levelHash(wall) + 1}));
    EXPECT_NE(error.find("nao confere com o hash"), std::string::npos) << error;
    // Another stage's level, under its own hash: not the picture asked for.
    EXPECT_TRUE(refused(ownStagePicturePath("outra", wall),
                        {kImpassableStage, levelHash(kImpassableStage)}));
    EXPECT_NE(error.find("e de outra imagem"), std::string::npos) << error;
    EXPECT_TRUE(refused("Img/Jogo/visual1.jpg", {wall, levelHash(wall)}))
        << "a shipped picture's level names it in its picture line";
    const std::string broken = "size 2600 480\nfloor x\n";
    EXPECT_TRUE(refused(ownStagePicturePath("b", broken), {broken, levelHash(broken)}));
    EXPECT_NE(error.find(":2: linha invalida: floor x"), std::string::npos) << error;
    EXPECT_EQ(homes.files(), std::vector<std::string>());
}

// The client's fetch through the ORB, from a thread of its own as the replaying thread's: the
// picture lands in the cache under the path the stream named, and a path is asked once.
TEST_F(StageLevels, AClientDrawsTheFetchedStageIntoItsCacheOnly) {
    XdgHomes homes;
    loopbackOrb();
    Activated served(&fifo);
    FifoServer_var server = served.as<FifoServer>();
    StageLevelFetch fetch(server);
    testing::internal::CaptureStdout();
    const int64_t start = clockMs();
    // On a thread of the program's own, as the client's replaying thread.
    bool fetched = false;
    std::thread replaying([&] { fetched = fetch(wallPicture()); });
    replaying.join();
    EXPECT_TRUE(fetched);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("Imagem " + wallPicture() + " desenhada da fase recebida do servidor (" +
                           std::to_string(std::string(kWallStage).size()) + " bytes"),
              std::string::npos)
        << console;
    (void)start;
    const std::vector<std::string> cached = {"cache/corrida/" + wallPicture()};
    EXPECT_EQ(homes.files(), cached);
    jpgalleg_init();  // as the graphics start-up does
    BitmapHandle picture = loadImageFile(wallPicture());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->w, 2600);
    EXPECT_FALSE(fetch(wallPicture())) << "asked once";
    EXPECT_FALSE(fetch("Img/Jogo/player1a.bmp")) << "not a stage picture";
    EXPECT_FALSE(fetch("../fora.jpg"));
}

}  // namespace
