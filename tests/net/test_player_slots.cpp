// Who holds each player number: joining, lapsing, taking back, and nobody locked out.
#include <gtest/gtest.h>

#include "net/caller_address.h"
#include "net/fetch_ticket.h"
#include "net/player_slots.h"

namespace {

int secrets = 0;
PlayerSlots::SecretSource countingSecrets() {
    return [] { return "secret" + std::to_string(++secrets); };
}

// A number joined by `host` at `now` that fetches at once.
int playing(PlayerSlots& slots, const std::string& host, int64_t now) {
    const int player = slots.joinByAddress(host, now).player;
    slots.noteFetch(player, now);
    return player;
}

TEST(PlayerSlots, ANumberNobodyPlaysLapsesAndGoesToTheNextComer) {
    PlayerSlots slots(2, countingSecrets());
    EXPECT_EQ(1, slots.joinByAddress("a", 0).player);
    EXPECT_EQ(2, playing(slots, "b", 0));
    EXPECT_EQ(-1, slots.joinByAddress("c", 100).player);
    EXPECT_EQ(2, slots.joined(PlayerSlots::kFirstFetchWithinMs));
    EXPECT_FALSE(slots.everyonePlaying(PlayerSlots::kFirstFetchWithinMs));
    // Player 2 keeps fetching; player 1 never did.
    slots.noteFetch(2, PlayerSlots::kFirstFetchWithinMs);
    const PlayerSlots::Joined late = slots.joinByAddress("c", PlayerSlots::kFirstFetchWithinMs + 1);
    EXPECT_EQ(1, late.player);
    EXPECT_TRUE(late.reused);
    EXPECT_FALSE(slots.numberedCallAllowed(1, "a", PlayerSlots::kFirstFetchWithinMs + 2));
    EXPECT_TRUE(slots.numberedCallAllowed(1, "c", PlayerSlots::kFirstFetchWithinMs + 2));
}

TEST(PlayerSlots, ADepartedPlayerTakesItsNumberBackWhileNobodyElseHasIt) {
    PlayerSlots slots(2, countingSecrets());
    const PlayerSlots::Joined joined = slots.joinWithSecret("a", 0);
    ASSERT_EQ(1, joined.player);
    EXPECT_FALSE(joined.reused);
    slots.noteFetch(1, 0);
    const int64_t gone = PlayerSlots::kDepartedAfterMs + 1;
    EXPECT_EQ(0, slots.joined(gone));
    // Back after a reconnection, from another address: the secret is what counts.
    EXPECT_EQ(1, slots.playerOfSecret(joined.secret, gone + 5));
    EXPECT_EQ(1, slots.joined(gone + 5));
    EXPECT_FALSE(slots.playerOfSecret("secret999", gone + 5));
    EXPECT_FALSE(slots.playerOfSecret("", gone + 5));
    // Its fetch ticket stands for the secret; an address holder has none, whatever its "secret".
    EXPECT_EQ(1, slots.playerOfTicket(fetchTicket(joined.secret), gone + 5));
    EXPECT_EQ(2, playing(slots, "c", gone + 5));
    EXPECT_FALSE(slots.playerOfTicket(fetchTicket(""), gone + 5));
    EXPECT_FALSE(slots.playerOfTicket(fetchTicket("secret999"), gone + 5));

    // Lapsed again and given to somebody else: the old secret is worth nothing.
    slots.noteFetch(1, gone + 5);
    const int64_t later = gone + 5 + PlayerSlots::kDepartedAfterMs + 1;
    const int other = playing(slots, "b", later);
    EXPECT_EQ(1, other);
    EXPECT_FALSE(slots.playerOfSecret(joined.secret, later));
    EXPECT_FALSE(slots.playerOfTicket(fetchTicket(joined.secret), later));
}

TEST(PlayerSlots, ClassicNumbersAnswerTheirAddressAndSecretNumbersNoAddress) {
    PlayerSlots slots(3, countingSecrets());
    EXPECT_EQ(1, playing(slots, "a", 0));
    const PlayerSlots::Joined withSecret = slots.joinWithSecret("a", 0);
    ASSERT_EQ(2, withSecret.player);
    EXPECT_TRUE(slots.numberedCallAllowed(1, "a", 1));
    EXPECT_FALSE(slots.numberedCallAllowed(1, "b", 1));
    EXPECT_FALSE(slots.numberedCallAllowed(2, "a", 1));
    EXPECT_FALSE(slots.numberedCallAllowed(3, "a", 1));  // nobody's
    EXPECT_FALSE(slots.numberedCallAllowed(0, "a", 1));
    EXPECT_FALSE(slots.numberedCallAllowed(-7, "a", 1));
    EXPECT_EQ(1, slots.classicPlayerOf("a", 1));
    EXPECT_FALSE(slots.classicPlayerOf("b", 1));
}

TEST(PlayerSlots, OneAddressCannotTakeEveryNumberAndLeaveItUnplayed) {
    PlayerSlots slots(6, countingSecrets());
    // A peer logs in until refused: two numbers at most wait for their first fetch.
    EXPECT_EQ(1, slots.joinByAddress("peer", 0).player);
    EXPECT_EQ(2, slots.joinWithSecret("peer", 0).player);
    EXPECT_EQ(-1, slots.joinByAddress("peer", 1).player);
    EXPECT_EQ(-1, slots.joinWithSecret("peer", 1).player);
    // Friends behind one router, each fetching at once, fill the rest.
    for (int player = 3; player <= 6; ++player) EXPECT_EQ(player, playing(slots, "home", 2));
    EXPECT_EQ(-1, slots.joinByAddress("newcomer", 3).player);

    // The peer's numbers lapse; while the newcomer waits, the peer gets none of them back.
    const int64_t lapsed = PlayerSlots::kFirstFetchWithinMs + 10;
    for (int player = 3; player <= 6; ++player) slots.noteFetch(player, lapsed - 5);
    EXPECT_EQ(-1, slots.joinByAddress("peer", lapsed).player);
    EXPECT_EQ(1, playing(slots, "newcomer", lapsed + 1));
    // The peer's refusals do not hold the newcomer's household back: nobody else waits.
    EXPECT_EQ(2, playing(slots, "newcomer", lapsed + 2));
}

TEST(PlayerSlots, WhileSomebodyWaitsAnAddressThatPlaysGetsNoSecondPlace) {
    PlayerSlots slots(2, countingSecrets());
    EXPECT_EQ(1, playing(slots, "a", 0));
    EXPECT_EQ(2, playing(slots, "b", 0));
    EXPECT_EQ(-1, slots.joinByAddress("c", 1).player);  // full: "c" waits
    // "b" stops fetching; "a" goes on.
    const int64_t later = PlayerSlots::kDepartedAfterMs + 1;
    slots.noteFetch(1, later - 1);
    EXPECT_EQ(-1, slots.joinByAddress("a", later).player);
    EXPECT_EQ(2, playing(slots, "c", later + 1));
}

TEST(PlayerSlots, NoPlayersAdmitsNobody) {
    PlayerSlots slots(0, countingSecrets());
    EXPECT_EQ(-1, slots.joinByAddress("a", 0).player);
    EXPECT_TRUE(slots.everyonePlaying(0));
    EXPECT_FALSE(slots.numberedCallAllowed(1, "a", 0));
}

TEST(PlayerSlots, SecretsAreLongAndDiffer) {
    const std::string one = PlayerSlots::randomSecret();
    EXPECT_EQ(32u, one.size());
    EXPECT_EQ(std::string::npos, one.find_first_not_of("0123456789abcdef"));
    EXPECT_NE(one, PlayerSlots::randomSecret());
}

TEST(CallerAddress, TheHostOfAPeerAddress) {
    EXPECT_EQ("127.0.0.1", hostOfPeerAddress("giop:tcp:127.0.0.1:40312"));
    EXPECT_EQ("[::1]", hostOfPeerAddress("giop:tcp:[::1]:40312"));
    EXPECT_EQ("giop:unix:/tmp/sock", hostOfPeerAddress("giop:unix:/tmp/sock"));
    EXPECT_EQ("", hostOfPeerAddress(""));
    EXPECT_EQ("giop:tcp::1", hostOfPeerAddress("giop:tcp::1"));
}

}  // namespace
