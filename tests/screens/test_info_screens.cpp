#include <gtest/gtest.h>

#include "platform/clock.h"
#include "screens/info_screens.h"
#include "screens/screen_fixture.h"

namespace {

using InfoScreens = ScreenTest;

struct InfoCase {
    bool (*run)();
    std::string picture, path, buffer;
};

const InfoCase kCases[] = {
    {runInstructionsScreen, "bg_instrucoes", "Img/menu/bg_instrucoes.jpg", "buffer_instrucoes"},
    {runCreditsScreen, "bg_integrantes", "Img/menu/bg_integrantes.jpg", "buffer_integrantes"},
};

TEST_F(InfoScreens, ShowTheirPictureUntilEscapeAndConsumeIt) {
    for (const InfoCase& info : kCases) {
        batches.clear();
        keys = KeyScript();
        keys.down(700, KEY_ESC).start();
        EXPECT_TRUE(info.run()) << info.picture;
        // It polls every millisecond, so it notices the press at once.
        EXPECT_LE(clockMs(), 701) << info.picture;
        EXPECT_EQ(key[KEY_ESC], 0) << info.picture;
        EXPECT_TRUE(looksLike(window, 320, 240, pictureColour(info.path))) << info.picture;

        const std::vector<std::string> expected{
            "load_bitmap " + info.picture + " " + info.path,
            "create_bitmap " + info.buffer + " 640 480",
            "blit " + info.picture + " " + info.buffer + " 0 0 0 0 640 480",
            "draw_sprite screen " + info.buffer + " 0 0",
            "destroy_bitmap " + info.buffer,
            "destroy_bitmap " + info.picture,
        };
        EXPECT_EQ(instructions(), expected);
        // The four drawing records close a batch, the flush after them hands over an empty one,
        // and the destructions wait for the next screen's flush.
        ASSERT_EQ(batches.size(), 3u);
        EXPECT_EQ(batches[1], "");
        KeyScript::stop();
    }
}

TEST_F(InfoScreens, ReturnAtOnceWhenEscapeIsAlreadyDown) {
    keys.down(0, KEY_ESC).start();
    EXPECT_TRUE(runCreditsScreen());
    EXPECT_EQ(clockMs(), 0);
    EXPECT_EQ(key[KEY_ESC], 0);
    EXPECT_EQ(countOf("draw_sprite screen buffer_integrantes 0 0"), 1u);
}

TEST_F(InfoScreens, ReplayingTheRecordsDrawsTheSamePicture) {
    for (const InfoCase& info : kCases) {
        batches.clear();
        blit(windowAtStart, window, 0, 0, 0, 0, 640, 480);
        keys = KeyScript();
        keys.down(50, KEY_ESC).start();
        info.run();
        BITMAP* replayed = replayOnto(windowAtStart);
        EXPECT_EQ(differingPixels(window, replayed), 0) << info.picture;
        destroy_bitmap(replayed);
        KeyScript::stop();
    }
}

TEST_F(InfoScreens, MissingPictureIsReportedAndTheScreenStillWorks) {
    removePicture("Img/menu/bg_instrucoes.jpg");
    keys.down(30, KEY_ESC).start();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(runInstructionsScreen());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("Img/menu/bg_instrucoes.jpg"), std::string::npos) << console;
    EXPECT_EQ(key[KEY_ESC], 0);
    // The buffer is shown plain black rather than whatever memory it was made from.
    EXPECT_EQ(getpixel(window, 320, 240), makecol(0, 0, 0));
    EXPECT_EQ(countOf("destroy_bitmap bg_instrucoes"), 1u);
}

}  // namespace
