// The bytes held for one side of a relayed connection: the chunks read from the other side, in
// read order, each with the time from which it may be written.
//
// Writing sends every chunk that is due, as far as the socket takes it; a partial write keeps the
// rest of its chunk at the head, so nothing is lost or reordered when the socket is full.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "release_schedule.h"

class DelayedQueue {
  public:
    enum class WriteResult {
        Done,     // everything due is written; later chunks wait for their time
        Blocked,  // the socket is full: wait until it is writable
        Failed,   // the socket is broken: nothing more can be written to it
    };

    void hold(std::vector<char> bytes, RelayClock::time_point releaseAt);
    WriteResult writeDue(int fd, RelayClock::time_point now);
    void discard();

    bool empty() const { return chunks_.empty(); }
    size_t heldBytes() const { return heldBytes_; }
    std::optional<RelayClock::time_point> nextRelease() const;

  private:
    struct Chunk {
        std::vector<char> bytes;
        RelayClock::time_point releaseAt;
    };
    std::deque<Chunk> chunks_;
    size_t headWritten_ = 0;  // bytes of the head chunk already written
    size_t heldBytes_ = 0;    // bytes not yet written, over all chunks
};
