// The three servants called directly, as the ORB's dispatcher would call them, each call from a
// caller address the test names.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <thread>
#include <vector>

#include "fake_runners.h"
#include "net/controle_impl.h"
#include "net/fetch_ticket.h"
#include "net/fifo_server_impl.h"
#include "net/login_impl.h"
#include "net/server_context.h"
#include "net/server_match.h"
#include "platform/clock.h"
#include "stream/compressed_stream_reader.h"

namespace {

class ServantsTest : public ::testing::Test {
  protected:
    explicit ServantsTest(int players = 2, bool cheats = false) : context(players, cheats) {
        context.control.flipRunner = flipFakeRunner;
        useSimulatedClock(1000);
    }
    ~ServantsTest() override { useRealClock(); }

    // Calls `call` as if it came from `host`.
    template <typename Call>
    auto from(const std::string& host, Call call) {
        caller = host;
        return call();
    }
    std::string fetch(CORBA::UShort player) {
        CORBA::String_var batch = fifo.getInstructions(player);
        return batch.in();
    }
    std::string joinWithSecret(const std::string& host, CORBA::Short expected) {
        CORBA::String_var secret;
        EXPECT_EQ(expected, from(host, [&] { return login.join(secret.out()); }));
        return secret.in();
    }
    void record(const std::string& instruction) {
        context.recorder.addInstruction(instruction);
        context.recorder.flush();
    }

    FakeRunnerTable runners;
    ServerContext context;
    std::string caller = "10.0.0.1";
    const CallerHost callerHost = [this] { return caller; };
    Login_impl login{context, callerHost};
    Controle_impl controle{context, callerHost};
    FifoServer_impl fifo{context, callerHost};
};

TEST_F(ServantsTest, ClassicPlayersActOnlyFromTheAddressThatJoined) {
    EXPECT_EQ(1, from("10.0.0.1", [&] { return login.logar(); }));
    EXPECT_EQ(2, from("10.0.0.2", [&] { return login.logar(); }));
    openRemoteRace(context.control, runners.table);

    from("10.0.0.1", [&] { controle.alterarGravidade(1); });
    EXPECT_THROW(from("10.0.0.1", [&] { controle.alterarGravidade(2); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.9", [&] { controle.alterarGravidade(1); }), CORBA::NO_PERMISSION);
    // Numbers of nobody, whatever their size.
    for (CORBA::Short player : {std::numeric_limits<CORBA::Short>::min(), CORBA::Short(0),
                                CORBA::Short(3), std::numeric_limits<CORBA::Short>::max()}) {
        EXPECT_THROW(from("10.0.0.1", [&] { controle.alterarGravidade(player); }),
                     CORBA::NO_PERMISSION);
    }
    EXPECT_EQ(1, runners.flipsOf(1));
    EXPECT_EQ(0, runners.flipsOf(2));

    record("destroy_bitmap a");
    EXPECT_THROW(from("10.0.0.1", [&] { return fetch(2); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.1", [&] { return fifo.takeFrames(2, 0); }), CORBA::NO_PERMISSION);
    EXPECT_EQ("destroy_bitmap a;", from("10.0.0.2", [&] { return fetch(2); }));
    EXPECT_EQ(8u, context.refusals.foreignCalls.load());
}

TEST_F(ServantsTest, ASecretsNumberIsNeverHonouredThroughTheNumberedOperations) {
    const std::string secret = joinWithSecret("10.0.0.1", 1);
    EXPECT_EQ(32u, secret.size());
    openRemoteRace(context.control, runners.table);
    record("destroy_bitmap a");

    // Not even from the address that joined.
    EXPECT_THROW(from("10.0.0.1", [&] { controle.alterarGravidade(1); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.1", [&] { return fetch(1); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.1", [&] { controle.pausar(); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.7", [&] { controle.flip("not the secret"); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.7", [&] { controle.flip(""); }), CORBA::NO_PERMISSION);
    EXPECT_EQ(0, runners.totalFlips());

    // The secret works from anywhere: a client that reconnects from a new address carries on.
    from("10.0.0.7", [&] { controle.flip(secret.c_str()); });
    EXPECT_EQ(1, runners.flipsOf(1));
    CORBA::String_var frames =
        from("10.0.0.7", [&] { return fifo.takeOwnFrames(secret.c_str(), 0); });
    EXPECT_NE(std::string::npos, std::string(frames.in()).find("destroy_bitmap a"));

    // In the packed fetch its ticket stands for it, from anywhere; no other ticket does.
    for (const uint64_t ticket : {fetchTicket("not the secret"), uint64_t(0), ~uint64_t(0)}) {
        Deflated_var answer;
        EXPECT_THROW(from("10.0.0.1", [&] { return fifo.pop(ticket, 0, answer.out()); }),
                     CORBA::NO_PERMISSION);
    }
    EXPECT_EQ(8u, context.refusals.foreignCalls.load());
    record("destroy_bitmap b");
    Deflated_var packed;
    EXPECT_GT(from("10.0.0.9", [&] { return fifo.pop(fetchTicket(secret), 0, packed.out()); }), 0u);
    const std::string bytes(reinterpret_cast<const char*>(packed->get_buffer()), packed->length());
    const std::string text =
        CompressedStreamReader(Compression::Packed).read(bytes, true).value_or("");
    EXPECT_NE(std::string::npos, text.find("destroy_bitmap b")) << text;
}

TEST_F(ServantsTest, PauseIsAPlayersAnyPlayerLiftsItAndThePauserWaitsToPauseAgain) {
    const std::string first = joinWithSecret("10.0.0.1", 1);
    const std::string second = joinWithSecret("10.0.0.2", 2);
    openRemoteRace(context.control, runners.table);

    EXPECT_THROW(from("10.0.0.9", [&] { controle.pausar(); }), CORBA::NO_PERMISSION);
    EXPECT_FALSE(context.control.paused.load());

    controle.pause(first.c_str());
    EXPECT_TRUE(context.control.paused.load());
    controle.pause(second.c_str());  // lifted by the other player
    EXPECT_FALSE(context.control.paused.load());

    controle.pause(first.c_str());  // too soon after its own pause
    EXPECT_FALSE(context.control.paused.load());
    EXPECT_EQ(1u, context.refusals.pauses.load());
    controle.pause(second.c_str());  // the other player may
    EXPECT_TRUE(context.control.paused.load());
    controle.pause(first.c_str());  // and anyone lifts
    EXPECT_FALSE(context.control.paused.load());

    advanceSimulatedClock(kPauseAgainAfterMs);
    controle.pause(first.c_str());
    EXPECT_TRUE(context.control.paused.load());
    // Its time is up (the server ends it): the pauser races as long as it held the race still.
    advanceSimulatedClock(kLongestRemotePauseMs);
    endRemotePause(context.control, clockMs());
    advanceSimulatedClock(kLongestRemotePauseMs - 1);
    controle.pause(first.c_str());
    EXPECT_FALSE(context.control.paused.load());
    advanceSimulatedClock(1);
    controle.pause(first.c_str());
    EXPECT_TRUE(context.control.paused.load());
}

TEST_F(ServantsTest, APauseDiesWithItsRaceAndNoneIsTakenBetweenRaces) {
    const std::string secret = joinWithSecret("10.0.0.1", 1);
    openRemoteRace(context.control, runners.table);
    controle.pause(secret.c_str());
    closeRemoteRace(context.control);
    EXPECT_FALSE(context.control.paused.load()) << "the next race must not start paused";
    advanceSimulatedClock(kPauseAgainAfterMs);
    controle.pause(secret.c_str());  // between races: ignored
    openRemoteRace(context.control, runners.table);
    EXPECT_FALSE(context.control.paused.load());
}

TEST_F(ServantsTest, TheCheatDoesNothingUnlessTheHostAllowsIt) {
    const std::string secret = joinWithSecret("10.0.0.1", 1);
    openRemoteRace(context.control, runners.table);
    controle.cheat(secret.c_str());
    EXPECT_FALSE(context.control.cheat.load());
    EXPECT_EQ(1u, context.refusals.cheats.load());
    EXPECT_THROW(from("10.0.0.9", [&] { controle.usarCheat(); }), CORBA::NO_PERMISSION);
}

class CheatingServerTest : public ServantsTest {
  protected:
    CheatingServerTest() : ServantsTest(2, true) {}
};

TEST_F(CheatingServerTest, WithTheHostsLeaveAPlayersCheatEndsTheStage) {
    EXPECT_EQ(1, from("10.0.0.1", [&] { return login.logar(); }));
    controle.usarCheat();  // no race yet
    EXPECT_FALSE(context.control.cheat.load());
    openRemoteRace(context.control, runners.table);
    controle.usarCheat();
    EXPECT_TRUE(context.control.cheat.load());
}

TEST_F(ServantsTest, ConcurrentJoinsNeverShareANumberNorOverfillTheServer) {
    std::vector<std::vector<int>> answers(4);
    std::vector<std::thread> callers;
    ServerContext six(6);
    int host = 0;
    for (auto& mine : answers) {
        const std::string address = "10.0.1." + std::to_string(++host);
        callers.emplace_back([&six, &mine, address] {
            Login_impl login(six, [address] { return address; });
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
    // Four addresses, at most two numbers each that nobody plays yet.
    EXPECT_EQ(6u, admitted.size());
    EXPECT_EQ((std::set<int>{1, 2, 3, 4, 5, 6}), std::set<int>(admitted.begin(), admitted.end()));
    EXPECT_EQ(4u * 200 - 6, six.refusals.joins.load());
}

TEST_F(ServantsTest,
       ANumberGivenToANewcomerStartsItsQueueWithTheBitmapsBoundNowAndTheLastPictures) {
    record("load_bitmap fundo Img/fundo.bmp");
    record("load_bitmap velho Img/velho.bmp");
    record("destroy_bitmap velho");
    record("blit fundo screen 0 0 0 0 640 480");                                    // the race
    record("load_bitmap paused Img/menu/pause.bmp;draw_sprite screen paused 0 0");  // its pause
    EXPECT_EQ(1, from("10.0.0.1", [&] { return login.logar(); }));
    advanceSimulatedClock(PlayerSlots::kFirstFetchWithinMs + 1);  // never played: lapses
    EXPECT_EQ(1, from("10.0.0.2", [&] { return login.logar(); }));
    CORBA::String_var frames = from("10.0.0.2", [&] { return fifo.takeFrames(1, 0); });
    const std::string answer = frames.in();
    EXPECT_EQ(0u, answer.find("part 1;")) << answer;
    EXPECT_NE(std::string::npos, answer.find("load_bitmap fundo Img/fundo.bmp")) << answer;
    EXPECT_EQ(std::string::npos, answer.find("velho")) << answer;
    // The picture standing on the server's screen, the pause over the race, without waiting for
    // the next one.
    const size_t race = answer.find("blit fundo screen 0 0 0 0 640 480");
    const size_t pause = answer.find("draw_sprite screen paused 0 0");
    ASSERT_NE(std::string::npos, race) << answer;
    EXPECT_NE(std::string::npos, pause) << answer;
    EXPECT_LT(race, pause) << answer;
    EXPECT_LT(answer.find("load_bitmap paused"), pause) << answer;
}

TEST_F(ServantsTest, OneAddressHoldsItsShareOfCallsInFlight) {
    const std::string secret = joinWithSecret("10.0.0.1", 1);
    std::vector<CallsInFlight::Admission> held;
    for (int i = 0; i < CallsInFlight::kPerAddress; ++i) {
        held.push_back(*context.callsInFlight.admit("10.0.0.1"));
    }
    EXPECT_THROW(from("10.0.0.1", [&] { return fifo.takeOwnFrames(secret.c_str(), 0); }),
                 CORBA::NO_RESOURCES);
    EXPECT_EQ(1u, context.refusals.callsInFlight.load());
    held.pop_back();
    CORBA::String_var answer = fifo.takeOwnFrames(secret.c_str(), 0);
    EXPECT_EQ(0, context.callsInFlight.heldBy("10.0.0.2"));
}

TEST_F(ServantsTest, SpectatorsWatchAFullServerFromTheirAddressAndChangeNothing) {
    record("load_bitmap fundo Img/fundo.bmp");
    EXPECT_EQ(1, from("10.0.0.1", [&] { return login.logar(); }));
    EXPECT_EQ(2, from("10.0.0.2", [&] { return login.logar(); }));
    EXPECT_EQ(-1, from("10.0.0.3", [&] { return login.logar(); }));
    EXPECT_EQ(7, from("10.0.0.3", [&] { return login.assistir(); }));
    EXPECT_EQ(8, from("10.0.0.3", [&] { return login.assistir(); }));
    EXPECT_EQ(2, context.slots.joined(clockMs()));  // the waiting screen counts players only
    openRemoteRace(context.control, runners.table);

    record("blit fundo screen 0 0 0 0 640 480");
    // A spectator's queue opens with the bitmaps bound now, then sees what the players see.
    CORBA::String_var frames = from("10.0.0.3", [&] { return fifo.takeFrames(7, 0); });
    const std::string answer = frames.in();
    EXPECT_EQ(0u, answer.find("part 1;")) << answer;
    EXPECT_NE(std::string::npos, answer.find("load_bitmap fundo Img/fundo.bmp")) << answer;
    EXPECT_NE(std::string::npos, answer.find("blit fundo screen")) << answer;
    EXPECT_NE("", from("10.0.0.3", [&] { return fetch(8); }));

    // Its number is its address's alone, and the controls ignore it.
    EXPECT_THROW(from("10.0.0.1", [&] { return fifo.takeFrames(7, 0); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.3", [&] { return fifo.takeFrames(9, 0); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.3", [&] { controle.alterarGravidade(7); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.3", [&] { controle.pausar(); }), CORBA::NO_PERMISSION);
    EXPECT_THROW(from("10.0.0.3", [&] { controle.usarCheat(); }), CORBA::NO_PERMISSION);
    EXPECT_EQ(0, runners.flipsOf(1) + runners.flipsOf(2));
    EXPECT_FALSE(context.control.paused.load());
}

TEST_F(ServantsTest, SpectatorsHaveLimitsAndAPlaceThatStopsFetchingLapses) {
    // One address (a LAN party, a benchmark) gets its share; the server holds its limit.
    int watching = 0;
    for (int i = 0; i < Audience::kMaxPerAddress; ++i) {
        watching += from("10.0.0.5", [&] { return login.assistir(); }) > 0;
    }
    EXPECT_EQ(Audience::kMaxPerAddress, watching);
    EXPECT_EQ(-1, from("10.0.0.5", [&] { return login.assistir(); }));
    for (int i = Audience::kMaxPerAddress; i < Audience::kMaxSpectators; ++i) {
        watching +=
            from("10.0.0." + std::to_string(10 + i % 8), [&] { return login.assistir(); }) > 0;
    }
    EXPECT_EQ(Audience::kMaxSpectators, watching);
    EXPECT_EQ(-1, from("10.0.0.99", [&] { return login.assistir(); }));
    EXPECT_EQ(2u, context.refusals.spectators.load());
    EXPECT_EQ(static_cast<size_t>(Audience::kMaxSpectators),
              context.viewers.queues().openSpectators());

    // Spectator 7 keeps fetching; every other one stops, and lapses with its queue.
    for (int step = 0; step < 3; ++step) {
        advanceSimulatedClock(Audience::kLapseMs / 2);
        CORBA::String_var kept = from("10.0.0.5", [&] { return fifo.takeFrames(7, 0); });
    }
    EXPECT_EQ(1u, context.viewers.queues().openSpectators());
    EXPECT_EQ(1, context.spectators.watching(clockMs()));
    EXPECT_EQ(8, from("10.0.0.99", [&] { return login.assistir(); }));
    EXPECT_THROW(from("10.0.0.5", [&] { return fifo.takeFrames(9, 0); }), CORBA::NO_PERMISSION);
}

TEST(HostChosenAudience, TheHostSetsHowManyWatchAndOneAddressGetsHalfButNeverFewerThan32) {
    struct Case {
        int total, perAddress;
    };
    for (const Case c : {Case{0, 0}, Case{10, 10}, Case{64, 32}, Case{200, 100}}) {
        ServerContext server(2, false, c.total);
        int fromOne = 0;
        while (server.spectators.join("10.0.0.5", clockMs()) > 0) ++fromOne;
        EXPECT_EQ(c.perAddress, fromOne) << c.total;
        int inAll = fromOne;
        for (int host = 10; server.spectators.join("10.0.1." + std::to_string(host), clockMs()) > 0;
             ++host) {
            ++inAll;
        }
        EXPECT_EQ(c.total, inAll);
        // The numbers past the audience are nobody's: a fetch for one is refused.
        EXPECT_FALSE(server.spectators.isSpectatorNumber(ViewerQueues::kFirstSpectator + c.total));
        // The address' share of calls in flight holds six players' and its spectators' fetches,
        // three each.
        std::vector<CallsInFlight::Admission> held;
        while (std::optional<CallsInFlight::Admission> one =
                   server.callsInFlight.admit("10.0.0.5")) {
            held.push_back(std::move(*one));
        }
        EXPECT_GE(static_cast<int>(held.size()), 3 * (6 + c.perAddress)) << c.total;
    }
}

}  // namespace
