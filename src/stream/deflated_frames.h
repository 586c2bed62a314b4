// DeflatedFrames: the compressed frames fetch of a server's viewers. Each viewer's answers (the
// frames fetch's texts, "part N" first) are deflated into one stream of its own (deflate_stream.h),
// in the order the answers are taken: one lock per viewer covers taking an answer and deflating
// it, so several calls in flight never deflate out of order. A viewer that asks for them packed
// has each answer's text delta-packed (delta_packing.h) before it is deflated.
//
// When a viewer's queue starts afresh (a new holder, a client back after a lost connection) its
// stream starts afresh too, under the same lock, so no answer of the old numbering is deflated
// into the new stream. A closed spectator's stream goes.
//
// Every answer costs the protocol's own bytes (about a hundred, both ways). A player's call is
// answered as soon as a picture waits: what it shows must follow its key at once. A spectator plays
// no part, so its call that may wait is answered no sooner than kSpectatorGatherMs after its last
// answer, with the pictures of that time together: its wire carries a quarter of the answers, and
// its client spreads the pictures out again as they were drawn (picture_schedule.h).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "stream/deflate_stream.h"
#include "stream/delta_packing.h"
#include "stream/viewer_queues.h"

class DeflatedFrames {
  public:
    static constexpr int64_t kSpectatorGatherMs = 134;

    explicit DeflatedFrames(ViewerQueues& queues) : queues(queues) {}

    // The viewer's next frames answer (ViewerQueues::takeFrames), deflated, with its part number;
    // no bytes and part 0 when nothing waits. `packed`: the text delta-packed first.
    std::string take(uint16_t viewer, int holdMs, uint64_t& part, bool packed = false);
    // Runs `change` (the queue's fresh start) with the viewer's stream ended.
    void restart(uint16_t viewer, const std::function<void()>& change);
    void drop(uint16_t viewer);

  private:
    struct Stream {
        std::mutex lock;
        std::unique_ptr<Deflater> deflater;   // made at the first answer
        std::unique_ptr<DeltaPacker> packer;  // made at the first packed answer
        int64_t lastAnswerMs = -1;
    };
    std::shared_ptr<Stream> streamOf(uint16_t viewer);

    ViewerQueues& queues;
    std::mutex mapLock;
    std::map<uint16_t, std::shared_ptr<Stream>> streams;
};
