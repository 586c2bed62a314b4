// ViewerStreams: a server's streams to its viewers, fed by the recorder as one of its subscribers.
//
// Each player and spectator has a queue of what was recorded for it (ViewerQueues) and, for the
// compressed fetches, its own deflate stream over that queue (DeflatedFrames). The fetch servants
// take from them; a rejoin or a spectator's departure starts or ends both together.
//
// Threads: the game thread hands batches in through take(); the remote-request threads fetch and
// restart, and the queues and the deflate streams lock for themselves.
#pragma once

#include <cstdint>
#include <string>

#include "stream/batch_subscriber.h"
#include "stream/deflated_frames.h"
#include "stream/viewer_queues.h"

class ViewerStreams : public BatchSubscriber {
  public:
    // A queue for each of `playerCount` players and room for spectators.
    explicit ViewerStreams(int playerCount);
    ViewerStreams(const ViewerStreams&) = delete;
    ViewerStreams& operator=(const ViewerStreams&) = delete;

    void take(const RecordedBatch& batch, int64_t nowMs) override { queues_.take(batch, nowMs); }

    ViewerQueues& queues() { return queues_; }
    const ViewerQueues& queues() const { return queues_; }

    // The viewer's next frames answer deflated in its own stream (deflated_frames.h),
    // delta-packed first when `packed`; part 0 when nothing waits.
    std::string takeDeflatedFrames(uint16_t viewer, int holdMs, uint64_t& part,
                                   bool packed = false);
    // These start the viewer's compressed stream afresh too.
    void restartQueue(uint16_t viewer);
    uint64_t resumeQueue(uint16_t viewer);
    void closeSpectator(uint16_t viewer);

  private:
    ViewerQueues queues_;
    DeflatedFrames deflated;
};
