// Ctrl+C and SIGTERM become a stop request of the server mode instead of ending the process.
#include <gtest/gtest.h>

#include <csignal>

#include "net/stop_request.h"

namespace {

TEST(StopRequest, FirstSignalRaisesTheFlagAndTheNextIsLeftToTheDefault) {
    catchStopSignals();
    EXPECT_FALSE(stopRequested());
    std::raise(SIGINT);
    EXPECT_TRUE(stopRequested());
    struct sigaction current {};
    sigaction(SIGINT, nullptr, &current);
    EXPECT_EQ(SIG_DFL, current.sa_handler);
    // Catching again (after the graphics library) keeps the request.
    catchStopSignals();
    EXPECT_TRUE(stopRequested());
    releaseStopSignals();
    EXPECT_FALSE(stopRequested());
}

TEST(StopRequest, TermIsAStopRequestToo) {
    catchStopSignals();
    std::raise(SIGTERM);
    EXPECT_TRUE(stopRequested());
    releaseStopSignals();
}

}  // namespace
