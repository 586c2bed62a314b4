// Ctrl+C and SIGTERM become a stop request of the server mode instead of ending the process.
#include <gtest/gtest.h>
#include <pthread.h>

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

volatile std::sig_atomic_t foreignHandlerRan = 0;
void foreignHandler(int) { foreignHandlerRan = 1; }

// A signal that comes while another library's handler is installed waits for ours.
TEST(StopRequest, HeldSignalWaitsForOurHandler) {
    holdStopSignals();
    struct sigaction foreign {};
    foreign.sa_handler = foreignHandler;
    sigemptyset(&foreign.sa_mask);
    sigaction(SIGTERM, &foreign, nullptr);
    std::raise(SIGTERM);
    EXPECT_FALSE(stopRequested());
    EXPECT_EQ(foreignHandlerRan, 0);
    catchStopSignals();
    EXPECT_TRUE(stopRequested());
    EXPECT_EQ(foreignHandlerRan, 0);
    releaseStopSignals();
    sigset_t blocked;
    pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
    EXPECT_FALSE(sigismember(&blocked, SIGTERM)) << "the signals are let through again";
}

}  // namespace
