#include "stream/gravador_tela.h"

#include <algorithm>

#include "platform/clock.h"

namespace {

GravadorTela* installed = nullptr;
std::function<void(const std::string&)> batchTap;

}  // namespace

GravadorTela& GravadorTela::instance() {
    if (installed) return *installed;
    static GravadorTela* const local = new GravadorTela();  // never destroyed
    return *local;
}

void GravadorTela::install(GravadorTela* recorder) { installed = recorder; }

void GravadorTela::tapBatchesForTesting(std::function<void(const std::string&)> tap) {
    batchTap = std::move(tap);
}

GravadorTela::GravadorTela() : mode_(SessionMode::DrawsLocally), playerCount_(0) {}

GravadorTela::GravadorTela(int playerCount)
    : mode_(SessionMode::RecordsOnly),
      playerCount_(std::max(playerCount, 0)),
      queues(std::make_unique<ViewerQueues>(playerCount_)),
      deflated(std::make_unique<DeflatedFrames>(*queues)) {
    subscribers.push_back(queues.get());
}

void GravadorTela::subscribe(BatchSubscriber& subscriber) { subscribers.push_back(&subscriber); }

void GravadorTela::unsubscribe(BatchSubscriber& subscriber) {
    subscribers.erase(std::remove(subscribers.begin(), subscribers.end(), &subscriber),
                      subscribers.end());
}

void GravadorTela::markFramesOnClassicFetch(bool on) {
    if (queues) queues->markFramesOnClassicFetch(on);
}

bool GravadorTela::logBoundNames(const std::string& path) {
    if (namesLog) unsubscribe(*namesLog);
    namesLog = BoundNamesLog::open(path);
    if (!namesLog) return false;
    subscribe(*namesLog);
    return true;
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
    if (batchTap) batchTap(batch.text);
    for (BatchSubscriber* subscriber : subscribers) subscriber->take(batch, nowMs);
}

std::string GravadorTela::takeBatch(uint16_t viewer, int holdMs) {
    return queues ? queues->takeBatch(viewer, holdMs) : std::string();
}

std::string GravadorTela::takeFrames(uint16_t viewer, int holdMs) {
    return queues ? queues->takeFrames(viewer, holdMs) : std::string();
}

std::string GravadorTela::takeDeflatedFrames(uint16_t viewer, int holdMs, uint64_t& part,
                                             bool packed) {
    part = 0;
    return deflated ? deflated->take(viewer, holdMs, part, packed) : std::string();
}

void GravadorTela::restartQueue(uint16_t viewer) {
    if (queues) deflated->restart(viewer, [&] { queues->restartQueue(viewer); });
}

uint64_t GravadorTela::resumeQueue(uint16_t viewer) {
    uint64_t next = 0;
    if (queues) deflated->restart(viewer, [&] { next = queues->resumeQueue(viewer); });
    return next;
}

void GravadorTela::closeSpectator(uint16_t viewer) {
    if (!queues) return;
    queues->closeSpectator(viewer);
    deflated->drop(viewer);
}

size_t GravadorTela::queuedBatches(uint16_t viewer) const {
    return queues ? queues->queuedBatches(viewer) : 0;
}
