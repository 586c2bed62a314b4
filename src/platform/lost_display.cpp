#include "platform/lost_display.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <mutex>
#include <utility>

#include "platform/console_report.h"

namespace {

struct FinishingStep {
    // Guards the step. The handler takes it for good: a second thread that notices the loss
    // meanwhile waits there until the first one has ended the process.
    std::mutex guard;
    std::function<void()> step;
};
// Process-wide: Xlib calls its handler as a plain function, with no context, on any thread.
FinishingStep finishing;

int onLostDisplay(Display*) {
    finishing.guard.lock();
    reportLine(kLostDisplayMessage);
    if (finishing.step) finishing.step();
    _exit(kLostDisplayStatus);
}

}  // namespace

void endProcessOnLostDisplay() { XSetIOErrorHandler(onLostDisplay); }

FinishOnLostDisplay::FinishOnLostDisplay(std::function<void()> step) {
    std::lock_guard<std::mutex> hold(finishing.guard);
    previous = std::exchange(finishing.step, std::move(step));
}

FinishOnLostDisplay::~FinishOnLostDisplay() {
    std::lock_guard<std::mutex> hold(finishing.guard);
    finishing.step = std::move(previous);
}
