// A player who has left must not make the server's memory grow: its queue is emptied once it has
// stopped fetching, while players who keep fetching, and players who have not started yet, keep
// every essential batch.
#include <gtest/gtest.h>

#include "app/clock.h"
#include "stream/gravador_tela.h"

namespace {

class SimulatedClock {
  public:
    SimulatedClock() { useSimulatedClock(5000); }
    ~SimulatedClock() { useRealClock(); }
};

void recordEssential(GravadorTela& recorder) {
    recorder.addInstruction("load_bitmap a Img/a.bmp");
    recorder.flush();
}

TEST(GravadorTelaDeparture, PlayerSilentForTooLongIsEmptiedAndFedNoMore) {
    SimulatedClock clock;
    GravadorTela recorder(2);
    recorder.takeBatch(1);
    recorder.takeBatch(2);
    for (int second = 0; second < 40; ++second) {
        recordEssential(recorder);
        recorder.takeBatch(1);  // player 1 keeps fetching, player 2 has gone
        advanceSimulatedClock(1000);
    }
    EXPECT_EQ(0u, recorder.queuedBatches(2));
    recordEssential(recorder);
    EXPECT_EQ(0u, recorder.queuedBatches(2));
    EXPECT_EQ(1u, recorder.queuedBatches(1));
}

TEST(GravadorTelaDeparture, SilenceJustUnderTheLimitKeepsEverything) {
    SimulatedClock clock;
    GravadorTela recorder(1);
    recorder.takeBatch(1);
    for (int i = 0; i < 30; ++i) {
        recordEssential(recorder);
        advanceSimulatedClock(GravadorTela::kDepartedAfterMs / 30);
    }
    recordEssential(recorder);
    EXPECT_EQ(31u, recorder.queuedBatches(1));
}

TEST(GravadorTelaDeparture, PlayerWhoReturnsIsFedAgain) {
    SimulatedClock clock;
    GravadorTela recorder(1);
    recorder.takeBatch(1);
    advanceSimulatedClock(GravadorTela::kDepartedAfterMs + 1);
    recordEssential(recorder);
    EXPECT_EQ(0u, recorder.queuedBatches(1));
    recorder.takeBatch(1);
    recordEssential(recorder);
    EXPECT_EQ(1u, recorder.queuedBatches(1));
}

TEST(GravadorTelaDeparture, PlayerWhoNeverFetchedKeepsItsBatchesUpToTheHardLimit) {
    SimulatedClock clock;
    GravadorTela recorder(1);
    advanceSimulatedClock(10 * GravadorTela::kDepartedAfterMs);  // a long wait before joining
    for (size_t i = 0; i < GravadorTela::kAbandonedQueueLimit; ++i) {
        recorder.addInstruction("destroy_bitmap x");
        recorder.flush();
    }
    EXPECT_EQ(GravadorTela::kAbandonedQueueLimit, recorder.queuedBatches(1));
    recordEssential(recorder);
    EXPECT_EQ(1u, recorder.queuedBatches(1));
}

}  // namespace
