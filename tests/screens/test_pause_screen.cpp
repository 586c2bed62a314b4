#include <gtest/gtest.h>

#include <atomic>

#include "platform/clock.h"
#include "screens/pause_screen.h"
#include "screens/screen_fixture.h"
#include "stream/gravador_tela.h"
#include "support/recording_server.h"

namespace {

using PauseScreen = ScreenTest;

const std::vector<std::string> kPauseRecords{
    "load_bitmap paused Img/menu/pause.bmp",
    "create_bitmap buffer_pause 640 480",
    "blit paused buffer_pause 0 0 0 0 640 480",
    "draw_sprite screen buffer_pause 0 0",
    "play_sound Img/Som/pausa.wav",
    "destroy_bitmap buffer_pause",
    "destroy_bitmap paused",
};

TEST_F(PauseScreen, LocalPauseLastsUntilANewPressOfPAndConsumesIt) {
    keys.press(400, KEY_P, 150).start();
    showPauseScreen(pKeyPressed);
    EXPECT_GE(clockMs(), 400);
    EXPECT_LE(clockMs(), 401);
    EXPECT_EQ(key[KEY_P], 0) << "the race loop would pause again at once";

    // The panel covers the middle; the race shows through everywhere else.
    EXPECT_TRUE(looksLike(window, 320, 240, pictureColour("Img/menu/pause.bmp")));
    EXPECT_EQ(getpixel(window, 10, 10), getpixel(windowAtStart, 10, 10));
    EXPECT_EQ(getpixel(window, 600, 470), getpixel(windowAtStart, 600, 470));
    EXPECT_EQ(instructions(), kPauseRecords);
}

TEST_F(PauseScreen, LocalPauseEndsAtOnceWhenPIsAlreadyDown) {
    keys.down(0, KEY_P).start();
    showPauseScreen(pKeyPressed);
    EXPECT_EQ(clockMs(), 0);
    EXPECT_EQ(key[KEY_P], 0);
}

TEST_F(PauseScreen, ReplayingTheRecordsShowsTheSamePauseOverTheRace) {
    keys.press(20, KEY_P).start();
    showPauseScreen(pKeyPressed);
    BITMAP* replayed = replayOnto(windowAtStart);
    EXPECT_EQ(differingPixels(window, replayed), 0);
    destroy_bitmap(replayed);
}

// A server's pause: it ends when the remote players lift it, whatever the keyboard does.
TEST_F(PauseScreen, PauseLastsUntilTheCallersEndAndIgnoresP) {
    std::atomic<bool> paused{true};
    keys.press(100, KEY_P).call(900, [&paused] { paused = false; }).start();
    showPauseScreen([&paused] { return !paused.load(); });
    EXPECT_GE(clockMs(), 900);
    EXPECT_LE(clockMs(), 901);
}

TEST_F(PauseScreen, ServerRecordsEverythingButDrawsNothing) {
    RecordingServer server(2);
    GravadorTela::install(&server.recorder);
    keys.down(10, KEY_P).start();
    testing::internal::CaptureStdout();
    showPauseScreen(pKeyPressed);
    const std::string console = testing::internal::GetCapturedStdout();
    GravadorTela::install(nullptr);

    EXPECT_EQ(differingPixels(window, windowAtStart), 0);
    EXPECT_EQ(console, "") << "a server has no pictures to miss";
    // Four records close one batch, the explicit flush closes the one with the pause sound; the
    // destructions wait.
    for (uint16_t player : {1, 2}) {
        ASSERT_EQ(server.queuedBatches(player), 2u);
        EXPECT_EQ(server.takeBatch(player),
                  "load_bitmap paused Img/menu/pause.bmp;create_bitmap buffer_pause 640 480;"
                  "blit paused buffer_pause 0 0 0 0 640 480;draw_sprite screen buffer_pause 0 0;");
        EXPECT_EQ(server.takeBatch(player), "play_sound Img/Som/pausa.wav;");
    }
    server.flush();
    EXPECT_EQ(server.takeBatch(1), "destroy_bitmap buffer_pause;destroy_bitmap paused;");
}

TEST_F(PauseScreen, MissingPictureIsReportedAndTheRaceStaysVisible) {
    removePicture("Img/menu/pause.bmp");
    keys.press(50, KEY_P).start();
    testing::internal::CaptureStdout();
    showPauseScreen(pKeyPressed);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("Img/menu/pause.bmp"), std::string::npos) << console;
    EXPECT_EQ(differingPixels(window, windowAtStart), 0);
    EXPECT_EQ(instructions(), kPauseRecords);
}

}  // namespace
