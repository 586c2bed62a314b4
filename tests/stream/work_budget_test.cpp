// The work a text from the network may cost a receiver: each picture within its budget, each
// answer within its own, and a stop that skips the rest of a text at once.
#include <gtest/gtest.h>

#include <string>

#include "platform/bitmap_handle.h"
#include "stream/frame_replayer.h"
#include "stream/interpreter.h"
#include "world/world_fixture.h"

namespace {

// `count` blits of a 10 x 10 bitmap "red" onto "big" (20 x 20), each 100 pixels of work.
std::string blits(int count) {
    std::string batch;
    for (int i = 0; i < count; ++i)
        batch += "blit red big 0 0 " + std::to_string(i % 10) + " 0 10 10;";
    return batch;
}

class Work : public ::testing::Test {
  protected:
    Work() {
        BITMAP* red = create_bitmap(10, 10);
        clear_to_color(red, makecol(255, 0, 0));
        registry.bind("red", BitmapHandle(red));
        BITMAP* big = create_bitmap(20, 20);
        clear_to_color(big, makecol(0, 0, 0));
        registry.bind("big", BitmapHandle(big));
        clear_to_color(window.get(), makecol(0, 0, 0));
    }
    bool windowTouched() const { return getpixel(window.get(), 0, 0) != makecol(0, 0, 0); }

    BitmapHandle window{create_bitmap(16, 12)};  // outlives the registry, which draws on it
    ListaBitmaps registry{window.get()};
};

TEST_F(Work, PastThePictureBudgetDrawingIsSkippedAndMemoryStillGivenBack) {
    WorkBudget budget(1000);
    executeBatch(registry,
                 "create_bitmap spare 10 10;" + blits(12) +
                     "destroy_bitmap spare;blit red screen 0 0 0 0 10 10;",
                 budget);
    // The creation (100) and nine blits fill the budget; three blits and the last one are skipped.
    EXPECT_EQ(budget.pixelsUsed(), 1000);
    EXPECT_EQ(budget.piecesSkipped(), 4);
    EXPECT_FALSE(registry.isBound("spare")) << "destroy_bitmap runs past the budget";
    EXPECT_FALSE(windowTouched());

    WorkBudget fresh(1000);
    executeBatch(registry, "blit red screen 0 0 0 0 10 10;", fresh);
    EXPECT_TRUE(windowTouched()) << "the next picture has a budget of its own";
    EXPECT_EQ(fresh.pixelsUsed(), 100) << "a blit costs what it draws, clipped to the window";
}

TEST_F(Work, ABlitCostsOnlyWhatItDrawsAndLoadsCostTheirPicture) {
    TempImageDir folder;
    BITMAP* picture = create_bitmap(30, 5);
    ASSERT_EQ(save_bitmap("wide.bmp", picture, nullptr), 0);
    destroy_bitmap(picture);
    WorkBudget budget;
    executeBatch(registry, "blit big screen 15 15 0 0 100 100;load_bitmap wide wide.bmp;", budget);
    EXPECT_EQ(budget.pixelsUsed(), 5 * 5 + 30 * 5);
}

TEST_F(Work, AStopSkipsTheRestOfTheTextAtOnce) {
    int looks = 0;
    WorkBudget budget(kPictureWorkBudget, [&looks] { return ++looks > 3; });
    executeBatch(registry, blits(50), budget);
    EXPECT_EQ(budget.pixelsUsed(), 300) << "three pieces ran before the stop held";
}

TEST_F(Work, AnAnswerOfManyPicturesIsBoundedAsAWhole) {
    // Every picture of this answer blits the largest bitmap onto another four times, within its
    // own budget; the answer's budget stops the drawing after four such pictures.
    ASSERT_TRUE(registry.bind("huge", BitmapHandle(create_bitmap(kMaxBitmapSide, 480))));
    ASSERT_TRUE(registry.bind("target", BitmapHandle(create_bitmap(kMaxBitmapSide, 480))));
    std::string picture;
    for (int i = 0; i < 4; ++i) picture += "blit huge target 0 0 0 0 18000 480;";
    std::string answer;
    for (int frame = 1; frame <= 40; ++frame) {
        answer += picture + "frame " + std::to_string(frame) + " 0;";
    }
    FrameReplayer replayer(registry, "");
    ::testing::internal::CaptureStdout();
    replayer.replay(answer);
    replayer.replay(answer);
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(replayer.framesReplayed(), 80u) << "every picture is counted, drawn or not";
    EXPECT_EQ(replayer.picturesCutShort(), 2u * (40 - 4));
    EXPECT_EQ(said,
              "O servidor mandou imagens que pediam trabalho demais; o que passou do limite nao "
              "foi desenhado.\n")
        << "said once";
}

}  // namespace
