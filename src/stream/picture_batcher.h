// PictureBatcher: groups the recorded instruction texts into batches of at most four and marks the
// batch that ends a picture.
//
// A flush ends a picture when something was recorded since the last one; a flush with nothing new
// (a loop that flushes again after its wait) gives its empty batch, but no picture. Pictures are
// numbered from 1 and carry their flush time.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "stream/recorded_batch.h"

class PictureBatcher {
  public:
    static constexpr int kBatchSize = 4;

    // Adds one instruction text; gives the batch it completes (the fourth text). The empty text
    // (an instruction its formatter refused) is not recorded.
    std::optional<RecordedBatch> add(std::string text);
    // Closes the pending batch (even an empty one).
    RecordedBatch flush(int64_t nowMs);

    // Pictures ended so far; read from any thread.
    uint64_t picturesEnded() const { return pictures.load(); }

  private:
    RecordedBatch close(std::optional<FrameMarker> marker);

    std::string pending;
    int pendingCount = 0;
    bool drawnSincePicture = false;
    std::atomic<uint64_t> pictures{0};
};
