// The three servants called directly, as the ORB's dispatcher would call them.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <thread>
#include <vector>

#include "fake_runners.h"
#include "net/controle_impl.h"
#include "net/fifo_server_impl.h"
#include "net/login_impl.h"
#include "stream/gravador_tela.h"

namespace {

std::string fetch(FifoServer_impl& fifo, CORBA::UShort player) {
    CORBA::String_var batch = fifo.getInstructions(player);
    return batch.in();
}

TEST(LoginImpl, NumbersPlayersInOrderThenAnswersFull) {
    ContadorLogin counter(2);
    Login_impl login(counter);
    EXPECT_EQ(1, login.logar());
    EXPECT_EQ(2, login.logar());
    EXPECT_EQ(-1, login.logar());
    EXPECT_EQ(-1, login.logar());
    EXPECT_EQ(2, counter.loggedIn.load());
}

TEST(LoginImpl, ConcurrentCallersNeverGetTheSameNumberNorOverfillTheServer) {
    ContadorLogin counter(6);
    Login_impl login(counter);
    std::vector<std::vector<int>> answers(4);
    std::vector<std::thread> callers;
    for (auto& mine : answers) {
        callers.emplace_back([&login, &mine] {
            for (int i = 0; i < 200; ++i) mine.push_back(login.logar());
        });
    }
    for (auto& caller : callers) caller.join();
    std::multiset<int> admitted;
    for (const auto& mine : answers) {
        for (int number : mine) {
            if (number != -1) admitted.insert(number);
        }
    }
    EXPECT_EQ((std::multiset<int>{1, 2, 3, 4, 5, 6}), admitted);
    EXPECT_EQ(6, counter.loggedIn.load());
}

TEST(LoginImpl, ServerForNoPlayersAdmitsNobody) {
    ContadorLogin counter(0);
    Login_impl login(counter);
    EXPECT_EQ(-1, login.logar());
    EXPECT_EQ(0, counter.loggedIn.load());
}

class ControleImplTest : public ::testing::Test {
  protected:
    FakeRunnerFlip fakeFlip;
    FakeRunnerTable runners;
    EstadoControle state;
    ContadorLogin counter{2};
    Controle_impl controle{state, counter};
};

TEST_F(ControleImplTest, IgnoresEverythingWhileNoRaceRuns) {
    state.players = &runners.table;
    controle.alterarGravidade(1);
    controle.pausar();
    controle.usarCheat();
    EXPECT_EQ(0, runners.totalFlips());
    EXPECT_FALSE(state.paused.load());
    EXPECT_FALSE(state.cheat.load());
}

TEST_F(ControleImplTest, FlipsOnlyTheCallersRunnerDuringARace) {
    openRemoteRace(state, runners.table);
    controle.alterarGravidade(2);
    controle.alterarGravidade(2);
    controle.alterarGravidade(1);
    EXPECT_EQ(1, runners.flipsOf(1));
    EXPECT_EQ(2, runners.flipsOf(2));
    EXPECT_EQ(3, runners.totalFlips());
}

TEST_F(ControleImplTest, IgnoresPlayerNumbersOutsideTheServersPlayers) {
    openRemoteRace(state, runners.table);
    // The table holds six runners, but this server has two players: 3 to 6 name nobody either.
    for (CORBA::Short player : {std::numeric_limits<CORBA::Short>::min(), CORBA::Short(-1),
                                CORBA::Short(0), CORBA::Short(3), CORBA::Short(6), CORBA::Short(7),
                                std::numeric_limits<CORBA::Short>::max()}) {
        controle.alterarGravidade(player);
    }
    EXPECT_EQ(0, runners.totalFlips());
}

TEST_F(ControleImplTest, SkipsAPlayerWithoutRunner) {
    runners.table[1] = nullptr;
    openRemoteRace(state, runners.table);
    controle.alterarGravidade(2);
    controle.alterarGravidade(1);
    EXPECT_EQ(1, runners.totalFlips());
}

TEST(ControleImplLimits, ServerCountAboveTheTableStillStopsAtSixRunners) {
    FakeRunnerFlip fakeFlip;
    FakeRunnerTable runners;
    EstadoControle state;
    ContadorLogin counter(std::numeric_limits<int32_t>::max());
    Controle_impl controle(state, counter);
    openRemoteRace(state, runners.table);
    controle.alterarGravidade(7);
    controle.alterarGravidade(std::numeric_limits<CORBA::Short>::max());
    controle.alterarGravidade(6);
    EXPECT_EQ(1, runners.totalFlips());
    EXPECT_EQ(1, runners.flipsOf(6));
}

TEST_F(ControleImplTest, PauseTogglesDuringARaceAndTwoCallsResume) {
    openRemoteRace(state, runners.table);
    controle.pausar();
    EXPECT_TRUE(state.paused.load());
    controle.pausar();
    EXPECT_FALSE(state.paused.load());
}

TEST_F(ControleImplTest, APauseDiesWithItsRaceAndNoneIsTakenBetweenRaces) {
    openRemoteRace(state, runners.table);
    controle.pausar();
    closeRemoteRace(state);
    EXPECT_FALSE(state.paused.load()) << "the next race must not start paused";
    controle.pausar();  // between races: ignored
    openRemoteRace(state, runners.table);
    EXPECT_FALSE(state.paused.load());
}

TEST_F(ControleImplTest, ConcurrentPausesEachToggleOnce) {
    openRemoteRace(state, runners.table);
    std::thread a([this] {
        for (int i = 0; i < 5000; ++i) controle.pausar();
    });
    std::thread b([this] {
        for (int i = 0; i < 5001; ++i) controle.pausar();
    });
    a.join();
    b.join();
    EXPECT_TRUE(state.paused.load());  // 10001 toggles
}

TEST_F(ControleImplTest, CheatSwitchesOnDuringARaceAndStaysOn) {
    openRemoteRace(state, runners.table);
    controle.usarCheat();
    controle.usarCheat();
    closeRemoteRace(state);
    EXPECT_TRUE(state.cheat.load());
}

class FifoServerImplTest : public ::testing::Test {
  protected:
    GravadorTela recorder{2};
    FifoServer_impl fifo{recorder};
};

TEST_F(FifoServerImplTest, HandsOutOneBatchPerCallOldestFirst) {
    for (const char* name : {"a", "b", "c"}) {
        recorder.addInstruction(std::string("destroy_bitmap ") + name);
        recorder.flush();
    }
    EXPECT_EQ("destroy_bitmap a;", fetch(fifo, 1));
    EXPECT_EQ("destroy_bitmap b;", fetch(fifo, 1));
    EXPECT_EQ("destroy_bitmap c;", fetch(fifo, 1));
    EXPECT_EQ("", fetch(fifo, 1));
    // Player 2's queue is its own.
    EXPECT_EQ("destroy_bitmap a;", fetch(fifo, 2));
}

TEST_F(FifoServerImplTest, AnswersEmptyForAnEmptyQueue) { EXPECT_EQ("", fetch(fifo, 2)); }

TEST_F(FifoServerImplTest, AnswersEmptyForNumbersOfNoPlayerAndTakesNothing) {
    recorder.addInstruction("destroy_bitmap a");
    recorder.flush();
    for (CORBA::UShort player : {CORBA::UShort(0), CORBA::UShort(3), CORBA::UShort(7),
                                 CORBA::UShort(32768), std::numeric_limits<CORBA::UShort>::max()}) {
        EXPECT_EQ("", fetch(fifo, player)) << player;
    }
    EXPECT_EQ(1u, recorder.queuedBatches(1));
    EXPECT_EQ(1u, recorder.queuedBatches(2));
}

TEST(FifoServerImplLocal, RecorderWithoutPlayersAnswersEmpty) {
    GravadorTela local(0);
    FifoServer_impl fifo{local};
    local.addInstruction("destroy_bitmap a");
    local.flush();
    EXPECT_EQ("", fetch(fifo, 1));
}

}  // namespace
