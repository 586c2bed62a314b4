#include "stream/gravador_tela.h"

#include <algorithm>

#include "platform/clock.h"

namespace {

// The process's recorders: the one a session installed, else the local one. Process-wide because
// every drawing call of every screen records through instance(); never destroyed, so that drawing
// during the process's end still finds it.
struct ProcessRecorder {
    GravadorTela* installed = nullptr;
    GravadorTela local;
};

ProcessRecorder& processRecorder() {
    static ProcessRecorder* const recorders = new ProcessRecorder();
    return *recorders;
}

}  // namespace

GravadorTela& GravadorTela::instance() {
    ProcessRecorder& recorders = processRecorder();
    return recorders.installed ? *recorders.installed : recorders.local;
}

void GravadorTela::install(GravadorTela* recorder) { processRecorder().installed = recorder; }

void GravadorTela::subscribe(BatchSubscriber& subscriber) { subscribers.push_back(&subscriber); }

void GravadorTela::unsubscribe(BatchSubscriber& subscriber) {
    subscribers.erase(std::remove(subscribers.begin(), subscribers.end(), &subscriber),
                      subscribers.end());
}

void GravadorTela::addInstruction(std::string text) {
    if (std::optional<RecordedBatch> batch = batcher.add(std::move(text))) {
        handOn(*batch, clockMs());
    }
}

void GravadorTela::flush() {
    // One reading of the clock per picture: its marker and its subscribers share it.
    const int64_t now = clockMs();
    handOn(batcher.flush(now), now);
}

void GravadorTela::handOn(const RecordedBatch& batch, int64_t nowMs) {
    for (BatchSubscriber* subscriber : subscribers) subscriber->take(batch, nowMs);
}
