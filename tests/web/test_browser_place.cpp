// A browser's place on the server: the same rules and the same guard as a native client's, and a
// stream that unpacks to exactly what a fetch of the place's queue gives.
#include <gtest/gtest.h>

#include <memory>

#include "net/fake_runners.h"
#include "net/server_context.h"
#include "platform/clock.h"
#include "stream/frame_marker.h"
#include "support/frame_markers.h"
#include "web/browser_place.h"
#include "web/stream_reader.h"

namespace {

using Kind = BrowserMessage::Kind;

class BrowserPlaceTest : public ::testing::Test {
  protected:
    BrowserPlaceTest() {
        context.control.flipRunner = flipFakeRunner;
        useSimulatedClock(1000);
    }
    ~BrowserPlaceTest() override { useRealClock(); }

    std::optional<std::string> say(BrowserPlace& place, Kind kind, const std::string& secret = "") {
        return place.handle(BrowserMessage{kind, secret});
    }
    // The secret of a "player N SECRET" answer.
    static std::string secretOf(const std::optional<std::string>& answer) {
        return answer ? answer->substr(answer->rfind(' ') + 1) : "";
    }
    void drawPicture(int x) {
        context.recorder.addInstruction("blit bufferVisual screen 0 0 " + std::to_string(x) +
                                        " 0 640 480");
        context.recorder.flush();
    }

    FakeRunnerTable runners;
    ServerContext context{2};
};

TEST_F(BrowserPlaceTest, PlacesAreGivenByTheServersRulesAndCounted) {
    BrowserPlace first(context, "10.0.0.1");
    const auto watching = say(first, Kind::Watch);
    ASSERT_TRUE(watching);
    EXPECT_EQ("spectator " + std::to_string(ViewerQueues::kFirstSpectator), *watching);
    EXPECT_EQ(1, context.spectators.watching(clockMs()));
    EXPECT_EQ(std::nullopt, say(first, Kind::Watch));  // one place is enough

    // JOGAR: the spectator becomes player 1 and its spectator number is free at once.
    const auto playing = say(first, Kind::Join);
    ASSERT_TRUE(playing);
    EXPECT_EQ(0u, playing->rfind("player 1 ", 0));
    EXPECT_EQ(32u, secretOf(playing).size());
    EXPECT_TRUE(first.playing());
    EXPECT_EQ(0, context.spectators.watching(clockMs()));
    EXPECT_EQ(std::nullopt, say(first, Kind::Join));
    EXPECT_EQ(std::nullopt, say(first, Kind::Watch));

    // A native client joins as player 2; a third place is refused and counted like a login.
    ASSERT_EQ(2, context.slots.joinWithSecret("10.0.0.2", clockMs()).player);
    BrowserPlace third(context, "10.0.0.3");
    EXPECT_EQ("refused join", say(third, Kind::Join));
    EXPECT_EQ(1u, context.refusals.joins.load());
    EXPECT_FALSE(third.playing());

    // A secret nobody holds is refused and counted like any foreign claim.
    EXPECT_EQ("refused rejoin", say(third, Kind::Rejoin, std::string(32, 'a')));
    EXPECT_EQ(1u, context.refusals.foreignCalls.load());
}

TEST_F(BrowserPlaceTest, AReloadedPageTakesItsPlaceBackAndALeavingSpectatorFreesItsNumber) {
    std::string secret;
    {
        BrowserPlace page(context, "10.0.0.1");
        secret = secretOf(say(page, Kind::Join));
        ASSERT_FALSE(secret.empty());
    }  // the page closes: a player's place waits for its secret
    advanceSimulatedClock(5000);
    BrowserPlace reloaded(context, "10.0.0.9");  // even from another address (a phone's new IP)
    EXPECT_EQ("player 1 " + secret, say(reloaded, Kind::Rejoin, secret));
    EXPECT_EQ(std::nullopt, say(reloaded, Kind::Rejoin, secret));

    {
        BrowserPlace spectator(context, "10.0.0.4");
        ASSERT_TRUE(say(spectator, Kind::Watch));
        EXPECT_EQ(1, context.spectators.watching(clockMs()));
    }
    EXPECT_EQ(0, context.spectators.watching(clockMs()));
}

TEST_F(BrowserPlaceTest, ABrowserFlipsAndPausesOnlyItsOwnRunner) {
    BrowserPlace player(context, "10.0.0.1");
    BrowserPlace spectator(context, "10.0.0.1");
    ASSERT_TRUE(say(player, Kind::Join));
    ASSERT_TRUE(say(spectator, Kind::Watch));
    openRemoteRace(context.control, runners.table);

    say(player, Kind::Flip);
    say(spectator, Kind::Flip);  // a spectator acts for nobody
    EXPECT_EQ(1, runners.flipsOf(1));
    EXPECT_EQ(1, runners.totalFlips());
    EXPECT_EQ(1u, context.refusals.foreignCalls.load());

    say(player, Kind::Pause);
    EXPECT_TRUE(context.control.paused.load());
    say(player, Kind::Pause);
    say(player, Kind::Pause);  // again at once: too soon, counted as a native client's is
    EXPECT_EQ(1u, context.refusals.pauses.load());
    closeRemoteRace(context.control);
}

TEST_F(BrowserPlaceTest, TheStreamInflatesAndUnpacksToWhatTheQueueHoldsAndEndsWithThePlace) {
    BrowserPlace spectator(context, "10.0.0.1");
    EXPECT_EQ("", spectator.takeStream());  // no place yet, nothing to send
    ASSERT_TRUE(say(spectator, Kind::Watch));
    StreamReader reader;
    std::string unpacked;
    size_t wire = 0;
    for (int x = 0; x < 5; ++x) {
        drawPicture(x * 10);
        const std::optional<std::string> message = spectator.takeStream();
        ASSERT_TRUE(message);
        wire += message->size();
        const std::optional<std::string> text = reader.read(*message);
        ASSERT_TRUE(text);
        unpacked += *text;
    }
    EXPECT_EQ("", spectator.takeStream());
    EXPECT_NE(std::string::npos, unpacked.find("blit bufferVisual screen 0 0 40 0 640 480"));
    EXPECT_EQ(5u, frameMarkersIn(unpacked).size());
    // One stream for the place: the pictures after the first cost a fraction of their text.
    EXPECT_LT(wire, unpacked.size() / 2);

    // Nobody fetched for the spectators' lapse: the number is gone, and the stream says so.
    advanceSimulatedClock(Audience::kLapseMs + 1);
    context.spectators.sweep(clockMs());
    EXPECT_EQ(std::nullopt, spectator.takeStream());
}

}  // namespace
