// PlayerQueue: what a server's recording holds for one remote player until the player's client
// fetches it.
//
// Batches wait in recording order. Memory stays bounded without losing what a client needs to
// follow the server's bitmap names:
// - A player still on the classic fetch (one batch per call) takes ordinary batches only while
//   fewer than kQueueLimit wait; batches that load, create or destroy a bitmap always go in.
// - A player on the frames fetch, or one whose first fetch has not come yet, takes everything
//   while fewer than kFrameLimit whole pictures wait, so a slow link loses no frame; past that,
//   only essential batches go in.
// - A player who took nothing for kDepartedAfterMs has stopped (a suspended laptop, a client
//   that died), and a queue of kAbandonedQueueLimit batches belongs to a client that never came:
//   the queue is folded into the net change of its bitmap names (BitmapTableChanges), which goes
//   first to the client if it comes back. Its drawing is dropped: the next pictures redraw all.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "stream/bitmap_table_changes.h"
#include "stream/frame_marker.h"
#include "stream/recorded_batch.h"

class PlayerQueue {
  public:
    using Batch = RecordedBatch;

    static constexpr size_t kQueueLimit = 10;
    static constexpr size_t kFrameLimit = 90;  // about three seconds of race
    static constexpr int64_t kDepartedAfterMs = 30000;
    static constexpr size_t kAbandonedQueueLimit = 100000;
    static constexpr size_t kBatchSize = 4;

    // Queues `batch` (or drops or folds it, as above).
    void offer(const Batch& batch, int64_t nowMs);

    // The classic fetch: the oldest batch, "" when none waits. Folded changes go first, four
    // pieces at a time. With `frameMarkers` a batch that ends a picture carries its marker piece.
    std::string takeOne(int64_t nowMs, bool frameMarkers);

    // The frames fetch: everything waiting as one text, opened by a part header and with a marker
    // after each picture; with `wholeFramesOnly`, only up to the end of the last whole picture.
    // "" when there is nothing to give. The first call moves the player to the frames fetch.
    std::string takeFrames(int64_t nowMs, bool wholeFramesOnly);

    // Whether takeOne / takeFrames(..., true) would give something now.
    bool hasBatch() const { return !batches.empty() || hasFolded(); }
    bool hasWholeFrame() const { return framesWaiting > 0 || hasFolded(); }

    // A fetch has begun: the player is alive, even while its call waits for a picture. A frames
    // fetch moves the player to the frames fetch's limit at once, before it waits.
    void noteFetch(int64_t nowMs, bool frames) {
        lastTakeMs = nowMs;
        framesFetch = framesFetch || frames;
    }

    // A fresh queue's first pieces: the bitmap bindings its client must hold first (the queue
    // of a number given to a new client, or of a client back after a lost connection), and the
    // number of its first part.
    void startWith(const std::vector<std::string>& bindings, uint64_t firstPart = 1);
    uint64_t nextPartNumber() const { return nextPart; }

    // Batches takeOne would give before the queue is empty.
    size_t waitingBatches() const;
    bool onFramesFetch() const { return framesFetch; }

  private:
    bool hasFolded() const { return !folded.empty() || !foldedPieces.empty(); }
    bool departed(int64_t nowMs) const;
    void foldQueue();
    void popFront();

    std::deque<Batch> batches;
    size_t framesWaiting = 0;
    BitmapTableChanges folded;
    // Folded pieces being handed out by takeOne, four at a time; they go before `folded`'s.
    std::deque<std::string> foldedPieces;
    int64_t lastTakeMs = -1;  // -1 before the first fetch
    bool framesFetch = false;
    uint64_t nextPart = 1;
};
