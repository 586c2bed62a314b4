// One relayed connection: the socket accepted from a client, the socket to the target, and what
// the relay holds for each of them.
//
// Bytes read from one side wait in the other side's queue until their release time. Once either
// side ends (end of stream or an error), nothing more is read from either: each side that still
// works is given what it holds, then both sockets close together and the connection is finished.
// A target that cannot be connected finishes the connection at once, closing the client's socket.
// At most kMaxHeldBytes wait for one side: past that the relay stops reading from the other until
// the queue shrinks, so a peer that does not read cannot make the relay grow without bound.
#pragma once

#include <poll.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "delayed_queue.h"
#include "release_schedule.h"
#include "socket_ops.h"
#include "unique_fd.h"

class RelayConnection {
  public:
    static constexpr size_t kMaxHeldBytes = 16 * 1024 * 1024;

    enum Role { Client = 0, Target = 1 };

    RelayConnection(UniqueFd client, ConnectStart target, std::chrono::milliseconds delay,
                    JitterSource& jitter);

    // What to wait for on one socket; fd -1 when nothing, so an ended peer cannot wake the poll.
    pollfd pollEntry(Role role) const;
    // Acts on what the poll reported for one socket: finishes the connect, reads, unblocks writes.
    void handle(Role role, short revents, std::vector<char>& readBuffer);
    // Writes what is due by `now` to both sides.
    void writeDue(RelayClock::time_point now);
    // The earliest release time of a chunk that waits only for its time.
    std::optional<RelayClock::time_point> nextRelease() const;

    bool finished() const;
    // Why the target could not be reached; empty when it was.
    const std::string& failure() const { return failure_; }
    // Bytes read so far from that side (to be carried to the other).
    uint64_t bytesFrom(Role role) const { return sides_[role].bytesRead; }
    // The port the client connects from, as the relay sees it (0 if it could not be read).
    uint16_t clientPort() const { return clientPort_; }

  private:
    struct Side {
        Side(UniqueFd fd, std::chrono::milliseconds delay, JitterSource& jitter)
            : socket(std::move(fd)), outbound(delay, jitter) {}
        UniqueFd socket;
        DelayedQueue inbound;      // held for this side
        ReleaseSchedule outbound;  // release times of what is read from this side
        bool broken = false;       // nothing can be written to it any more
        bool writeBlocked = false;
        uint64_t bytesRead = 0;
    };

    Side& other(Role role) { return sides_[1 - role]; }
    const Side& other(Role role) const { return sides_[1 - role]; }
    bool mayRead(Role role) const;
    bool mayWrite(Role role) const;
    void readFrom(Role role, std::vector<char>& readBuffer);
    void breakSide(Side& side);

    std::array<Side, 2> sides_;
    uint16_t clientPort_;
    bool connecting_;
    bool ending_ = false;
    std::string failure_;
};
