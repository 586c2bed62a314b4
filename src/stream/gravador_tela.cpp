#include "stream/gravador_tela.h"

#include <algorithm>
#include <chrono>

#include "platform/clock.h"

namespace {

bool isEssential(const std::string& batch) {
    return batch.find("create_bitmap") != std::string::npos ||
           batch.find("load_bitmap") != std::string::npos ||
           batch.find("destroy_bitmap") != std::string::npos;
}

GravadorTela* installed = nullptr;
std::function<void(const std::string&)> batchTap;

}  // namespace

GravadorTela& GravadorTela::instance() {
    if (installed) return *installed;
    static GravadorTela* const local = new GravadorTela(0);  // never destroyed
    return *local;
}

void GravadorTela::install(GravadorTela* recorder) { installed = recorder; }

void GravadorTela::tapBatchesForTesting(std::function<void(const std::string&)> tap) {
    batchTap = std::move(tap);
}

GravadorTela::GravadorTela(int playerCount)
    : queues(static_cast<size_t>(std::max(playerCount, 0))),
      playerCount_(std::max(playerCount, 0)) {}

void GravadorTela::markFramesOnClassicFetch(bool on) {
    std::lock_guard<std::mutex> hold(queuesLock);
    classicMarkers = on;
}

bool GravadorTela::logBoundNames(const std::string& path) {
    namesLog.reset(std::fopen(path.c_str(), "w"));
    if (!namesLog) return false;
    // Whole lines as they happen: the log is read while the server runs.
    std::setvbuf(namesLog.get(), nullptr, _IOLBF, 0);
    namesRecorded.takeChanged();
    std::fprintf(namesLog.get(), "%s\n", formatBoundNames(0, namesRecorded.names()).c_str());
    return true;
}

void GravadorTela::addInstruction(std::string text) {
    if (text.empty()) return;  // a formatter refused a malformed instruction
    pendingBatch += text;
    pendingBatch += ';';
    drawnSinceFrame = true;
    if (++pendingCount >= kBatchSize) closeBatch(false);
}

void GravadorTela::flush() {
    // A flush with nothing recorded since the last picture (the race loop flushes again after its
    // wait) hands out its empty batch but is no new picture.
    closeBatch(drawnSinceFrame);
    drawnSinceFrame = false;
}

void GravadorTela::closeBatch(bool endsFrame) {
    if (batchTap) batchTap(pendingBatch);
    if (!queues.empty()) {
        const int64_t now = clockMs();
        PlayerQueue::Batch batch{pendingBatch, isEssential(pendingBatch), std::nullopt};
        {
            std::lock_guard<std::mutex> hold(queuesLock);
            if (endsFrame) batch.closesFrame = FrameMarker{++frames, now};
            if (batch.essential) everyBinding.absorb(pendingBatch);
            for (PlayerQueue& queue : queues) queue.offer(batch, now);
        }
        if (namesLog) {
            namesRecorded.absorb(pendingBatch);
            if (batch.closesFrame && namesRecorded.takeChanged()) {
                const std::string line =
                    formatBoundNames(batch.closesFrame->frame, namesRecorded.names());
                std::fprintf(namesLog.get(), "%s\n", line.c_str());
            }
        }
        recorded.notify_all();
    }
    pendingCount = 0;
    pendingBatch.clear();
}

PlayerQueue* GravadorTela::queueOf(uint16_t player) {
    if (player < 1 || player > queues.size()) return nullptr;
    return &queues[player - 1];
}

std::string GravadorTela::takeBatch(uint16_t player, int holdMs) {
    std::unique_lock<std::mutex> hold(queuesLock);
    PlayerQueue* queue = queueOf(player);
    if (queue == nullptr) return std::string();
    queue->noteFetch(clockMs(), false);
    if (holdMs > 0) {
        recorded.wait_for(hold, std::chrono::milliseconds(holdMs),
                          [queue] { return queue->hasBatch(); });
    }
    return queue->takeOne(clockMs(), classicMarkers);
}

std::string GravadorTela::takeFrames(uint16_t player, int holdMs) {
    std::unique_lock<std::mutex> hold(queuesLock);
    PlayerQueue* queue = queueOf(player);
    if (queue == nullptr) return std::string();
    queue->noteFetch(clockMs(), true);
    const bool whole = holdMs <= 0 || queue->hasWholeFrame() ||
                       recorded.wait_for(hold, std::chrono::milliseconds(holdMs),
                                         [queue] { return queue->hasWholeFrame(); });
    return queue->takeFrames(clockMs(), whole);
}

void GravadorTela::restartQueue(uint16_t player) { startQueueAfresh(player, false); }

uint64_t GravadorTela::resumeQueue(uint16_t player) { return startQueueAfresh(player, true); }

uint64_t GravadorTela::startQueueAfresh(uint16_t player, bool keepNumbering) {
    std::lock_guard<std::mutex> hold(queuesLock);
    PlayerQueue* queue = queueOf(player);
    if (queue == nullptr) return 0;
    std::vector<std::string> bindings;
    for (std::string& piece : everyBinding.pieces()) {
        // The bindings alone: what a table may not hold yet. (A table that holds a name already
        // keeps its own binding.)
        if (piece.rfind("destroy_bitmap", 0) != 0) bindings.push_back(std::move(piece));
    }
    const uint64_t firstPart = keepNumbering ? queue->nextPartNumber() : 1;
    *queue = PlayerQueue();
    queue->startWith(bindings, firstPart);
    return firstPart;
}

size_t GravadorTela::queuedBatches(uint16_t player) const {
    std::lock_guard<std::mutex> hold(queuesLock);
    if (player < 1 || player > queues.size()) return 0;
    return queues[player - 1].waitingBatches();
}

uint64_t GravadorTela::framesFlushed() const {
    std::lock_guard<std::mutex> hold(queuesLock);
    return frames;
}
