#include "stream/gravador_tela.h"

#include <algorithm>

#include "platform/clock.h"

namespace {

// The session's recorder, while one is installed; the drawing code finds it through instance().
GravadorTela* installed = nullptr;

}  // namespace

GravadorTela& GravadorTela::instance() {
    if (installed) return *installed;
    static GravadorTela* const local = new GravadorTela();  // never destroyed
    return *local;
}

void GravadorTela::install(GravadorTela* recorder) { installed = recorder; }

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
