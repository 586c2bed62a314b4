#include "stream/viewer_queues.h"

#include <algorithm>
#include <chrono>

#include "platform/clock.h"

ViewerQueues::ViewerQueues(int playerCount)
    : players(static_cast<size_t>(std::max(playerCount, 0))) {}

void ViewerQueues::take(const RecordedBatch& batch, int64_t nowMs) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (batch.essential) everyBinding.absorb(batch.text);
        nextPicture.push_back(batch);
        if (batch.closesFrame) {
            lastPictures.push_back(std::move(nextPicture));
            nextPicture.clear();
            if (lastPictures.size() > kPicturesForNewViewers) lastPictures.pop_front();
        }
        for (PlayerQueue& queue : players) queue.offer(batch, nowMs);
        for (auto& [viewer, queue] : spectators) queue.offer(batch, nowMs);
    }
    recorded.notify_all();
}

void ViewerQueues::markFramesOnClassicFetch(bool on) {
    std::lock_guard<std::mutex> hold(lock);
    classicMarkers = on;
}

PlayerQueue* ViewerQueues::queueOf(uint16_t viewer) {
    if (viewer >= 1 && viewer <= players.size()) return &players[viewer - 1];
    const auto spectator = spectators.find(viewer);
    return spectator == spectators.end() ? nullptr : &spectator->second;
}

const PlayerQueue* ViewerQueues::queueOf(uint16_t viewer) const {
    return const_cast<ViewerQueues*>(this)->queueOf(viewer);
}

std::string ViewerQueues::takeBatch(uint16_t viewer, int holdMs) {
    std::unique_lock<std::mutex> hold(lock);
    PlayerQueue* queue = queueOf(viewer);
    if (queue == nullptr) return std::string();
    queue->noteFetch(clockMs(), false);
    if (holdMs > 0) {
        // The spectator's queue may close while the call waits: look it up again each time.
        recorded.wait_for(hold, std::chrono::milliseconds(holdMs), [&] {
            queue = queueOf(viewer);
            return queue == nullptr || queue->hasBatch();
        });
        if (queue == nullptr) return std::string();
    }
    return queue->takeOne(clockMs(), classicMarkers);
}

std::string ViewerQueues::takeFrames(uint16_t viewer, int holdMs) {
    std::unique_lock<std::mutex> hold(lock);
    PlayerQueue* queue = queueOf(viewer);
    if (queue == nullptr) return std::string();
    queue->noteFetch(clockMs(), true);
    bool whole = holdMs <= 0 || queue->hasWholeFrame();
    if (!whole) {
        whole = recorded.wait_for(hold, std::chrono::milliseconds(holdMs), [&] {
            queue = queueOf(viewer);
            return queue == nullptr || queue->hasWholeFrame();
        });
        if (queue == nullptr) return std::string();
    }
    return queue->takeFrames(clockMs(), whole);
}

void ViewerQueues::restartQueue(uint16_t viewer) { startQueueAfresh(viewer, false); }

uint64_t ViewerQueues::resumeQueue(uint16_t viewer) { return startQueueAfresh(viewer, true); }

uint64_t ViewerQueues::startQueueAfresh(uint16_t viewer, bool keepNumbering) {
    std::lock_guard<std::mutex> hold(lock);
    PlayerQueue* queue = queueOf(viewer);
    if (queue == nullptr) {
        if (viewer < kFirstSpectator) return 0;
        queue = &spectators[viewer];
    }
    const std::vector<std::string> bindings = everyBinding.bindings();
    const uint64_t firstPart = keepNumbering ? queue->nextPartNumber() : 1;
    *queue = PlayerQueue();
    queue->startWith(bindings, firstPart);
    // Drawn again over the table as it stands now: a name a picture binds is bound already and
    // keeps its bitmap, and one it releases is released again, which changes nothing.
    const int64_t now = clockMs();
    for (const std::vector<RecordedBatch>& picture : lastPictures) {
        for (const RecordedBatch& batch : picture) queue->offer(batch, now);
    }
    for (const RecordedBatch& batch : nextPicture) queue->offer(batch, now);
    return firstPart;
}

void ViewerQueues::closeSpectator(uint16_t viewer) {
    {
        std::lock_guard<std::mutex> hold(lock);
        spectators.erase(viewer);
    }
    recorded.notify_all();  // a call waiting on the closed queue answers at once
}

size_t ViewerQueues::queuedBatches(uint16_t viewer) const {
    std::lock_guard<std::mutex> hold(lock);
    const PlayerQueue* queue = queueOf(viewer);
    return queue == nullptr ? 0 : queue->waitingBatches();
}

size_t ViewerQueues::openSpectators() const {
    std::lock_guard<std::mutex> hold(lock);
    return spectators.size();
}
