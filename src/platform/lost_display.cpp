#include "platform/lost_display.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <mutex>
#include <utility>

#include "platform/console_report.h"

namespace {

// Guards the step. The handler takes it for good: a second thread that notices the loss meanwhile
// waits there until the first one has ended the process.
std::mutex stepGuard;
std::function<void()> finishingStep;

int onLostDisplay(Display*) {
    stepGuard.lock();
    reportLine(kLostDisplayMessage);
    if (finishingStep) finishingStep();
    _exit(kLostDisplayStatus);
}

}  // namespace

void endProcessOnLostDisplay() { XSetIOErrorHandler(onLostDisplay); }

FinishOnLostDisplay::FinishOnLostDisplay(std::function<void()> step) {
    std::lock_guard<std::mutex> hold(stepGuard);
    previous = std::exchange(finishingStep, std::move(step));
}

FinishOnLostDisplay::~FinishOnLostDisplay() {
    std::lock_guard<std::mutex> hold(stepGuard);
    finishingStep = std::move(previous);
}
