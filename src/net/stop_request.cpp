#include "net/stop_request.h"

#include <pthread.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t stopFlag = 0;

void raiseStopFlag(int) { stopFlag = 1; }

void handleWith(void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void maskStopSignals(int how) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(how, &signals, nullptr);
}

}  // namespace

void holdStopSignals() { maskStopSignals(SIG_BLOCK); }

void catchStopSignals() {
    // SA_RESETHAND: the next signal gets the default handling and ends the process.
    handleWith(raiseStopFlag, SA_RESETHAND);
    maskStopSignals(SIG_UNBLOCK);
}

bool stopRequested() { return stopFlag != 0; }

void requestStop() { stopFlag = 1; }

void releaseStopSignals() {
    handleWith(SIG_DFL, 0);
    stopFlag = 0;
}
