#include "stream/gravador_tela.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "stream/instruction_format.h"
#include "support/batch_capture.h"
#include "support/recording_server.h"

namespace {

const std::string kDraw = "draw_sprite screen buffer_menu 0 0";
const std::string kLoad = "load_bitmap paused Img/menu/pause.bmp";

// Appends `count` ordinary one-instruction batches to every queue of `recorder`.
void queueOrdinaryBatches(RecordingServer& recorder, int count) {
    for (int i = 0; i < count; ++i) {
        recorder.addInstruction(kDraw);
        recorder.flush();
    }
}

TEST(GravadorTela, HandsEveryBatchToEverySubscriberUntilItLeaves) {
    GravadorTela recorder;
    EXPECT_FALSE(recorder.isRemote());
    recorder.addInstruction(kLoad);  // recorded for nobody
    recorder.flush();
    std::vector<std::string> left;
    {
        BatchCapture first(recorder);
        BatchCapture second(recorder);
        for (int i = 0; i < 5; ++i) recorder.addInstruction(kDraw);
        recorder.flush();
        EXPECT_EQ(first.all(), second.all());
        EXPECT_EQ(first.all(),
                  (std::vector<std::string>{kDraw + ";" + kDraw + ";" + kDraw + ";" + kDraw + ";",
                                            kDraw + ";"}));
        left = first.takeAll();
    }
    recorder.addInstruction(kDraw);  // after both left: nobody is called
    recorder.flush();
    EXPECT_EQ(left.size(), 2u);
}

TEST(GravadorTela, FlushQueuesPendingTextsInOrderForEveryPlayer) {
    RecordingServer recorder(2);
    EXPECT_TRUE(recorder.isRemote());
    recorder.addInstruction("a 1");
    recorder.addInstruction("b 2");
    recorder.addInstruction("c 3");
    EXPECT_EQ(recorder.queuedBatches(1), 0u) << "three texts do not close a batch";
    recorder.flush();
    EXPECT_EQ(recorder.takeBatch(1), "a 1;b 2;c 3;");
    EXPECT_EQ(recorder.takeBatch(2), "a 1;b 2;c 3;");
    EXPECT_EQ(recorder.takeBatch(1), "");
}

TEST(GravadorTela, FourthTextClosesTheBatchAndAFlushAfterItQueuesAnEmptyOne) {
    RecordingServer recorder(1);
    for (const char* text : {"a", "b", "c", "d"}) recorder.addInstruction(text);
    EXPECT_EQ(recorder.queuedBatches(1), 1u);
    recorder.flush();
    recorder.addInstruction("e");
    recorder.flush();
    EXPECT_EQ(recorder.takeBatch(1), "a;b;c;d;");
    EXPECT_EQ(recorder.queuedBatches(1), 2u);
    EXPECT_EQ(recorder.takeBatch(1), "") << "the empty batch of the flush after the fourth text";
    EXPECT_EQ(recorder.takeBatch(1), "e;");
    EXPECT_EQ(recorder.queuedBatches(1), 0u);
}

TEST(GravadorTela, FullQueueDropsOrdinaryBatchesButKeepsEssentialOnes) {
    RecordingServer recorder(2);
    recorder.takeBatch(2);  // both players are classic clients, already fetching
    queueOrdinaryBatches(recorder, 10);
    for (int i = 0; i < 7; ++i) recorder.takeBatch(1);
    ASSERT_EQ(recorder.queuedBatches(1), 3u);
    ASSERT_EQ(recorder.queuedBatches(2), 10u);

    queueOrdinaryBatches(recorder, 1);
    EXPECT_EQ(recorder.queuedBatches(1), 4u);
    EXPECT_EQ(recorder.queuedBatches(2), 10u) << "ordinary batch dropped for the full queue";

    for (const std::string& essential :
         {kLoad, formatCreateBitmap("b", 1, 1), formatDestroyBitmap("b")}) {
        recorder.addInstruction(essential);
        recorder.flush();
    }
    EXPECT_EQ(recorder.queuedBatches(1), 7u);
    EXPECT_EQ(recorder.queuedBatches(2), 13u) << "essential batches grow a full queue";
}

TEST(GravadorTela, EssentialBatchesAreThoseWhoseInstructionsChangeTheBitmaps) {
    RecordingServer recorder(1);
    recorder.takeBatch(1);  // a classic client, already fetching: its queue is held to the limit
    queueOrdinaryBatches(recorder, 10);
    recorder.addInstruction("blit my_load_bitmap_copy screen 0 0 0 0 1 1");
    recorder.flush();
    EXPECT_EQ(recorder.queuedBatches(1), 10u) << "a name that looks like a kind changes nothing";
    recorder.addInstruction(kDraw);
    recorder.addInstruction("  destroy_bitmap\tmy_copy");
    recorder.flush();
    EXPECT_EQ(recorder.queuedBatches(1), 11u) << "a destroy among draws, read as the client reads";
}

TEST(GravadorTela, TakeBatchGivesTheOldestOneBatchAtATime) {
    RecordingServer recorder(1);
    recorder.addInstruction("first");
    recorder.flush();
    recorder.addInstruction("second");
    recorder.flush();
    EXPECT_EQ(recorder.takeBatch(1), "first;");
    EXPECT_EQ(recorder.queuedBatches(1), 1u);
    EXPECT_EQ(recorder.takeBatch(1), "second;");
}

TEST(GravadorTela, PlayerNumbersOutsideTheQueuesGetTheEmptyBatch) {
    RecordingServer recorder(3);
    recorder.addInstruction(kDraw);
    recorder.flush();
    for (uint16_t player : {uint16_t{0}, uint16_t{4}, uint16_t{65535}}) {
        EXPECT_EQ(recorder.takeBatch(player), "") << player;
    }
    EXPECT_EQ(recorder.queuedBatches(3), 1u);
}

TEST(GravadorTela, RefusedInstructionsAreNotRecorded) {
    RecordingServer recorder(1);
    recorder.addInstruction(formatLoadBitmap("has blank", "Img/x.bmp"));
    recorder.flush();
    EXPECT_EQ(recorder.takeBatch(1), "");
}

TEST(GravadorTela, InstanceIsTheInstalledRecorderElseTheLocalOne) {
    GravadorTela& local = GravadorTela::instance();
    EXPECT_FALSE(local.isRemote()) << "the local game and clients record for nobody";
    GravadorTela server(SessionMode::RecordsOnly);
    GravadorTela::install(&server);
    EXPECT_EQ(&GravadorTela::instance(), &server);
    GravadorTela::install(nullptr);
    EXPECT_EQ(&GravadorTela::instance(), &local);
    EXPECT_FALSE(GravadorTela::instance().isRemote());
}

// The game thread records while the request thread takes batches: nothing is lost or torn.
TEST(GravadorTela, ConcurrentFlushAndTakeLoseNoEssentialBatch) {
    RecordingServer recorder(1);
    constexpr int kBatches = 20000;
    std::atomic<bool> done{false};
    int taken = 0;
    std::thread reader([&] {
        for (;;) {
            const bool finished = done.load();
            std::string batch = recorder.takeBatch(1);
            if (!batch.empty()) {
                EXPECT_EQ(batch, "load_bitmap a b;");
                ++taken;
            } else if (finished) {
                break;
            }
        }
    });
    for (int i = 0; i < kBatches; ++i) {
        recorder.addInstruction("load_bitmap a b");
        recorder.flush();
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(taken, kBatches);
}

}  // namespace
