// The server's waiting and winner screens: the waiting count follows the players as they join,
// and what both screens record replays to exactly what they draw, with the game's own pictures.
#include <gtest/gtest.h>
#include <jpgalleg.h>

#include <memory>
#include <string>
#include <vector>

#include "net/estado_controle.h"
#include "net/player_slots.h"
#include "net/server_match.h"
#include "net/server_screens.h"
#include "platform/clock.h"
#include "screens/winner_screen.h"
#include "stream/gravador_tela.h"
#include "stream/interpreter.h"
#include "support/batch_capture.h"
#include "support/pieces.h"
#include "world/mapa.h"
#include "world/stage_loading.h"

namespace {

// Draws with `draw` on a memory window in local play, capturing what is recorded, then replays the
// records onto a copy of the window as it was; returns the number of differing pixels.
long replayDifference(const std::function<void()>& draw) {
    jpgalleg_init();
    BITMAP* const realScreen = screen;
    BITMAP* window = create_bitmap(640, 480);
    for (int y = 0; y < 480; ++y) hline(window, 0, y, 639, makecol(y / 2, 90, 255 - y / 2));
    BITMAP* replayed = create_bitmap(640, 480);
    blit(window, replayed, 0, 0, 0, 0, 640, 480);

    std::string recorded;
    GravadorTela local;
    GravadorTela::install(&local);
    {
        BatchCapture capture(local);
        screen = window;
        draw();
        screen = realScreen;
        for (const std::string& batch : capture.all()) recorded += batch;
    }
    GravadorTela::install(nullptr);

    long differing = 0;
    {
        ListaBitmaps registry(replayed);
        ::testing::internal::CaptureStdout();
        executeBatch(registry, recorded);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "every picture was there";
    }
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            differing += getpixel(window, x, y) != getpixel(replayed, x, y);
    // Something was drawn at all: the window is no longer the plain gradient.
    long changed = 0;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4)
            changed += getpixel(window, x, y) != makecol(y / 2, 90, 255 - y / 2);
    EXPECT_GT(changed, 1000);
    destroy_bitmap(window);
    destroy_bitmap(replayed);
    return differing;
}

}  // namespace

TEST(WaitingScreen, TheCountIsShownAgainAsEachPlayerJoins) {
    GravadorTela server(SessionMode::RecordsOnly);
    GravadorTela::install(&server);
    std::vector<std::string> batches;
    auto capture = std::make_unique<BatchCapture>(server);
    useSimulatedClock(0);
    PlayerSlots slots(3);
    const auto joinAndPlay = [&](const std::string& host, int64_t now) {
        slots.noteFetch(slots.joinByAddress(host, now).player, now);
    };
    // The second and third players join together: the screen shows 0, 1 and then 3.
    setSleepHook([&](int64_t now) {
        if (now == 50) joinAndPlay("10.0.0.1", now);
        if (now == 120) {
            joinAndPlay("10.0.0.2", now);
            joinAndPlay("10.0.0.3", now);
        }
    });
    {
        std::unique_ptr<Mapa> stage = loadStageOrReport(1, stage1Data(), serverRunnerImages(), 3);
        ASSERT_TRUE(stage);
        waitForEveryPlayer(*stage, slots);
        EXPECT_GE(clockMs(), 120);
        EXPECT_LE(clockMs(), 121) << "it goes on as soon as the last player is in";
    }
    useRealClock();
    batches = capture->takeAll();
    capture.reset();
    GravadorTela::install(nullptr);

    std::vector<std::string> counts;
    int stillFrames = 0;
    for (const std::string& batch : batches) {
        for (const std::string& piece : piecesOf(batch)) {
            if (piece.rfind("load_bitmap aguardando_n ", 0) == 0)
                counts.push_back(piece.substr(25));
            if (piece.rfind("blit bufferVisual screen ", 0) == 0) ++stillFrames;
        }
    }
    EXPECT_EQ(counts, (std::vector<std::string>{"Img/menu/aguardando_0_3.bmp",
                                                "Img/menu/aguardando_1_3.bmp",
                                                "Img/menu/aguardando_3_3.bmp"}));
    EXPECT_EQ(stillFrames, 3) << "each count over a clean still frame";
}

TEST(WaitingScreen, WhatIsRecordedReplaysToWhatIsDrawn) {
    EXPECT_EQ(replayDifference([] { showWaitingScreen(2, 3); }), 0);
    EXPECT_EQ(waitingCountPath(2, 3), "Img/menu/aguardando_2_3.bmp");
}

TEST(WinnerScreen, WhatIsRecordedReplaysToWhatIsDrawn) {
    EXPECT_EQ(replayDifference([] {
                  drawWinnerScreen({{1, {3, 1, 6}}, {2, {}}}, serverRunnerImages());
              }),
              0);
    EXPECT_EQ(replayDifference([] {
                  drawWinnerScreen({{1, {1, 2, 3, 4, 5, 6}}, {2, {6, 5, 4, 3, 2, 1}}},
                                   serverRunnerImages());
              }),
              0);
}
