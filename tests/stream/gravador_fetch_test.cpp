// The recorder's queues on the server: whole pictures for the frames fetch, the folding of a
// stalled or departed player's queue, and fetches that wait for the next picture.
#include <allegro.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "stream/frame_marker.h"
#include "stream/gravador_tela.h"
#include "stream/interpreter.h"
#include "support/frame_markers.h"
#include "support/recording_server.h"

namespace {

class SimulatedClock {
  public:
    SimulatedClock() { useSimulatedClock(5000); }
    ~SimulatedClock() { useRealClock(); }
};

// A picture of a race: five batches, the last one closed by the explicit flush.
void recordPicture(RecordingServer& recorder, int n) {
    for (int i = 0; i < 17; ++i) {
        recorder.addInstruction("draw_sprite screen corredor " + std::to_string(n) + " " +
                                std::to_string(i));
    }
    recorder.flush();
}

// A stage change: the old stage's bitmaps go, the new stage's come.
void recordStageChange(RecordingServer& recorder, int stage) {
    const std::string previous = std::to_string(stage - 1);
    const std::string next = std::to_string(stage);
    recorder.addInstruction("destroy_bitmap mapaVisual");
    recorder.addInstruction("destroy_bitmap bufferVisual");
    recorder.addInstruction("create_bitmap mapaVisual " + next + " 2");
    recorder.addInstruction("create_bitmap bufferVisual 4 " + next);
    recorder.addInstruction("blit mapaVisual bufferVisual 0 0 0 0 1 1");
    recorder.addInstruction("destroy_bitmap num" + previous);
    recorder.addInstruction("create_bitmap num" + next + " 3 3");
    recorder.flush();
}

TEST(GravadorFrames, HandsOutWholePicturesInNumberedPartsWithoutDroppingAny) {
    SimulatedClock clock;
    RecordingServer recorder(3);
    EXPECT_EQ(recorder.takeFrames(1, 0), "") << "nothing recorded yet";
    EXPECT_EQ(recorder.takeBatch(2), "") << "player 2 is a classic client";
    constexpr int kPictures = 80;  // far beyond the classic queue's ten batches
    for (int n = 1; n <= kPictures; ++n) {
        recordPicture(recorder, n);
        advanceSimulatedClock(34);
    }
    recorder.addInstruction("draw_sprite screen half 0 0");  // a picture still being drawn
    recorder.addInstruction("draw_sprite screen half 1 1");
    recorder.addInstruction("draw_sprite screen half 2 2");
    recorder.addInstruction("draw_sprite screen half 3 3");

    const std::string first = recorder.takeFrames(1, 0);
    const std::optional<PartHeader> header = readPartHeader(first);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->part, 1u);
    const std::vector<FrameMarker> markers = frameMarkersIn(first);
    ASSERT_EQ(markers.size(), static_cast<size_t>(kPictures));
    for (int n = 1; n <= kPictures; ++n) {
        EXPECT_EQ(markers[n - 1].frame, static_cast<uint64_t>(n));
        EXPECT_EQ(markers[n - 1].flushMs, 5000 + 34 * (n - 1));
    }
    EXPECT_NE(first.find("corredor 80 16;frame 80 "), std::string::npos);
    EXPECT_EQ(first.find("half"), std::string::npos) << "an unfinished picture waits";

    EXPECT_EQ(recorder.takeFrames(1, 0), "") << "still no whole picture";
    recorder.flush();
    const std::string second = recorder.takeFrames(1, 0);
    EXPECT_EQ(readPartHeader(second)->part, 2u);
    EXPECT_NE(second.find("half 3 3;frame 81 "), std::string::npos);

    EXPECT_EQ(recorder.queuedBatches(2), PlayerQueue::kQueueLimit)
        << "player 2 asked for batches: the classic limit holds for it";
    // Player 3 has not fetched yet (its client's first call is a round trip away): nothing it
    // will need is dropped before its client says which fetch it uses.
    const std::string late = recorder.takeFrames(3, 0);
    EXPECT_EQ(frameMarkersIn(late).size(), static_cast<size_t>(kPictures + 1));
}

TEST(GravadorFrames, ClassicBatchesCarryMarkersOnlyWhenAskedTo) {
    RecordingServer recorder(1);
    recorder.addInstruction("blit a b 0 0 0 0 1 1");
    recorder.flush();
    EXPECT_EQ(recorder.takeBatch(1), "blit a b 0 0 0 0 1 1;");
    recorder.viewers.queues().markFramesOnClassicFetch(true);
    recorder.addInstruction("blit a b 0 0 0 0 1 1");
    recorder.flush();
    recorder.flush();  // the race loop's flush after its wait: nothing new drawn
    const std::string marked = recorder.takeBatch(1);
    ASSERT_EQ(frameMarkersIn(marked).size(), 1u);
    EXPECT_EQ(frameMarkersIn(marked)[0].frame, 2u);
    EXPECT_EQ(recorder.takeBatch(1), "") << "an empty batch, and no picture";
    EXPECT_EQ(recorder.framesFlushed(), 2u);
}

TEST(GravadorFrames, APlayerFarBehindKeepsEveryBitmapButNotEveryPicture) {
    RecordingServer recorder(1);
    recorder.takeFrames(1, 0);
    for (int n = 0; n < 3 * 90; ++n) recordPicture(recorder, n);
    recordStageChange(recorder, 2);
    EXPECT_EQ(frameMarkersIn(recorder.takeFrames(1, 0)).size(), 91u)
        << "ninety pictures wait for a slow client, then only bitmap changes";
}

// A client stalled for 40 s (a suspended laptop) while the server changed stages three times:
// once it fetches again its bitmap table is the server's, and the next pictures find their names.
class StalledClient : public ::testing::TestWithParam<bool> {};

TEST_P(StalledClient, ResumesWithTheServersBitmapsAfterFortySeconds) {
    const bool framesFetch = GetParam();
    SimulatedClock clock;
    BITMAP* window = create_bitmap(8, 8);
    ListaBitmaps client(window);
    RecordingServer recorder(2);
    auto fetchAll = [&](uint16_t player) {
        std::string all;
        for (std::string text;
             !(text = framesFetch ? recorder.takeFrames(player, 0) : recorder.takeBatch(player))
                  .empty();) {
            all += text;
        }
        return all;
    };

    recorder.addInstruction("create_bitmap mapaVisual 1 2");
    recorder.addInstruction("create_bitmap bufferVisual 4 1");
    recorder.addInstruction("create_bitmap num1 3 3");
    recorder.flush();
    executeBatch(client, fetchAll(1));
    for (int second = 0; second < 40; ++second) {
        for (int n = 0; n < 29; ++n) recordPicture(recorder, n);
        if (second % 12 == 5) recordStageChange(recorder, 2 + second / 12);
        fetchAll(2);  // the other player keeps playing
        advanceSimulatedClock(1000);
    }
    EXPECT_LE(recorder.queuedBatches(1), 8u) << "the stalled queue is folded, not kept";

    testing::internal::CaptureStdout();
    executeBatch(client, fetchAll(1));
    recorder.addInstruction("blit mapaVisual bufferVisual 0 0 0 0 1 1");
    recorder.addInstruction("draw_sprite bufferVisual num4 0 0");
    recorder.addInstruction("blit bufferVisual screen 0 0 0 0 1 1");
    recorder.flush();
    executeBatch(client, fetchAll(1));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_TRUE(client.find("mapaVisual"));
    EXPECT_EQ(client.find("mapaVisual")->w, 4) << "the last stage's picture";
    EXPECT_EQ(client.find("bufferVisual")->h, 4);
    for (const char* gone : {"num1", "num2", "num3"}) EXPECT_FALSE(client.isBound(gone)) << gone;
    EXPECT_EQ(client.size(), 4u) << "screen, mapaVisual, bufferVisual, num4";
    destroy_bitmap(window);
}

INSTANTIATE_TEST_SUITE_P(BothFetches, StalledClient, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Frames" : "Classic"; });

TEST(GravadorFrames, AClientThatNeverComesBackCostsABoundedQueue) {
    SimulatedClock clock;
    RecordingServer recorder(1);
    recorder.takeBatch(1);
    for (int stage = 2; stage < 400; ++stage) {
        for (int n = 0; n < 40; ++n) recordPicture(recorder, n);
        recordStageChange(recorder, 2 + stage % 2);  // the game's names are few
        advanceSimulatedClock(5000);
    }
    EXPECT_LE(recorder.queuedBatches(1), 3u);
}

TEST(GravadorFrames, AQueueNobodyEverFetchesIsFoldedAtTheHardLimit) {
    RecordingServer recorder(1);
    for (size_t i = 0; i < PlayerQueue::kAbandonedQueueLimit; ++i) {
        recorder.addInstruction("destroy_bitmap x");
        recorder.flush();
    }
    EXPECT_EQ(PlayerQueue::kAbandonedQueueLimit, recorder.queuedBatches(1));
    recorder.addInstruction("load_bitmap x Img/x.bmp");
    recorder.flush();
    EXPECT_EQ(recorder.takeBatch(1), "destroy_bitmap x;");
    EXPECT_EQ(recorder.takeBatch(1), "load_bitmap x Img/x.bmp;");
    EXPECT_EQ(recorder.takeBatch(1), "");
}

// A fetch waits at the server for the picture another thread is drawing, and leaves with it.
TEST(GravadorFramesThread, HeldFetchesLeaveWithTheNextPicture) {
    RecordingServer recorder(1);
    for (bool frames : {true, false}) {
        std::atomic<bool> waiting{false};
        std::string taken;
        std::thread fetch([&] {
            waiting = true;
            taken = frames ? recorder.takeFrames(1, 10000) : recorder.takeBatch(1, 10000);
        });
        while (!waiting) std::this_thread::yield();
        // Whether the fetch is already waiting or not, it must come back with this picture.
        recordPicture(recorder, 1);
        fetch.join();
        EXPECT_NE(taken.find("corredor 1 0;"), std::string::npos) << taken;
        if (frames) {
            EXPECT_NE(taken.find("corredor 1 16;frame "), std::string::npos) << taken;
        }
        while (!recorder.takeBatch(1).empty()) {
        }
    }
    const int64_t start = clockMs();
    EXPECT_EQ(recorder.takeFrames(1, 30), "");
    EXPECT_GE(clockMs() - start, 30) << "nothing came: the fetch waited its time";
}

}  // namespace
