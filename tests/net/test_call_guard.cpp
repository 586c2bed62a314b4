// The one admission of the server's remote calls: every kind of claim to a place the caller does
// not hold is refused the same way and counted once; a fetch takes its address's share of calls in
// flight for as long as it lives; the audience's timer lets departed spectators lapse by itself.
#include <gtest/gtest.h>
#include <omniORB4/CORBA.h>

#include <chrono>
#include <thread>
#include <vector>

#include "net/audience_sweep.h"
#include "net/call_guard.h"
#include "net/fetch_ticket.h"
#include "net/server_context.h"
#include "platform/clock.h"

namespace {

class CallGuardTest : public ::testing::Test {
  protected:
    CallGuardTest() { useSimulatedClock(1000); }
    ~CallGuardTest() override { useRealClock(); }

    ServerContext context{2};
    std::string caller = "10.0.0.1";
    CallGuard guard{context, [this] { return caller; }};
};

TEST_F(CallGuardTest, EveryClaimToAPlaceNotHeldIsRefusedAlikeAndCountedOnce) {
    const std::string secret = context.slots.joinWithSecret("10.0.0.1", clockMs()).secret;
    ASSERT_EQ(2, context.slots.joinByAddress("10.0.0.2", clockMs()).player);
    const int spectator = context.spectators.join("10.0.0.3", clockMs());
    ASSERT_GT(spectator, 2);

    // Held: each claim finds its place, from the caller that holds it.
    EXPECT_EQ(1, guard.admit(Claim::ofSecret(secret.c_str())));
    EXPECT_EQ(1, guard.admit(Claim::ofTicket(fetchTicket(secret))));
    caller = "10.0.0.2";
    EXPECT_EQ(2, guard.admit(Claim::playerNumber(2)));
    EXPECT_EQ(2, guard.admit(Claim::classicAddress()));
    caller = "10.0.0.3";
    EXPECT_EQ(spectator, guard.admitFetch(Claim::viewerNumber(spectator)).viewer);
    EXPECT_EQ(0u, context.refusals.foreignCalls.load());

    // Not held: a secret's number, another address's number or spectator, a stranger's address,
    // a wrong secret or ticket, a number of nobody.
    caller = "10.0.0.1";
    const std::vector<Claim> foreign = {
        Claim::playerNumber(1),     Claim::playerNumber(2),
        Claim::viewerNumber(2),     Claim::viewerNumber(spectator),
        Claim::classicAddress(),    Claim::ofSecret("not the secret"),
        Claim::ofSecret(nullptr),   Claim::ofTicket(fetchTicket("not the secret")),
        Claim::viewerNumber(65535), Claim::playerNumber(-1),
    };
    for (const Claim& claim : foreign) {
        EXPECT_THROW(guard.admit(claim), CORBA::NO_PERMISSION);
        EXPECT_THROW(guard.admitFetch(claim), CORBA::NO_PERMISSION);
        EXPECT_FALSE(guard.find(claim));
    }
    EXPECT_EQ(3 * foreign.size(), context.refusals.foreignCalls.load());
    EXPECT_EQ(0u, context.refusals.callsInFlight.load());
}

TEST_F(CallGuardTest, AFetchHoldsItsShareOfTheAddressUntilItEnds) {
    const std::string secret = context.slots.joinWithSecret("10.0.0.1", clockMs()).secret;
    const Claim mine = Claim::ofTicket(fetchTicket(secret));
    std::vector<CallGuard::Fetch> inFlight;
    bool refused = false;
    for (int i = 0; i < CallsInFlight::kPerAddress * 2 && !refused; ++i) {
        try {
            inFlight.push_back(guard.admitFetch(mine));
        } catch (const CORBA::NO_RESOURCES&) {
            refused = true;
        }
    }
    ASSERT_TRUE(refused) << "an address's calls in flight have a bound";
    EXPECT_EQ(1u, context.refusals.callsInFlight.load());
    EXPECT_EQ(0u, context.refusals.foreignCalls.load());
    inFlight.pop_back();
    EXPECT_EQ(1, guard.admitFetch(mine).viewer) << "room again once one call ended";
}

TEST(AudienceSweep, DepartedSpectatorsLapseWithoutAnybodyFetching) {
    useSimulatedClock(1000);
    ServerContext context(2);
    const int spectator = context.spectators.join("10.0.0.3", clockMs());
    ASSERT_EQ(1u, context.viewers.queues().openSpectators());
    {
        AudienceSweep sweep(context.spectators, 1);
        advanceSimulatedClock(Audience::kLapseMs + 1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (context.viewers.queues().openSpectators() != 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    EXPECT_EQ(0u, context.viewers.queues().openSpectators()) << "spectator " << spectator;
    useRealClock();
}

}  // namespace
