// BatchSubscriber: one reader of a recording. The recorder hands every batch, in order, to each
// of its subscribers: the players' and spectators' queues of a server, a recording file, the
// bitmap names log of a measuring run.
#pragma once

#include <cstdint>

#include "stream/recorded_batch.h"

class BatchSubscriber {
  public:
    virtual ~BatchSubscriber() = default;
    // Called on the recording thread, in recording order, at `nowMs` on the process clock.
    virtual void take(const RecordedBatch& batch, int64_t nowMs) = 0;
};
