#include "relay_connection.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
// Reads per wake-up and side, so one busy peer cannot starve the others.
constexpr int kReadsPerWake = 16;
}  // namespace

RelayConnection::RelayConnection(UniqueFd client, ConnectStart target,
                                 std::chrono::milliseconds delay, JitterSource& jitter)
    : sides_{Side(std::move(client), delay, jitter), Side(std::move(target.socket), delay, jitter)},
      clientPort_(peerPort(sides_[Client].socket.get())),
      connecting_(!target.connected) {}

bool RelayConnection::mayRead(Role role) const {
    if (ending_ || (role == Target && connecting_)) return false;
    return other(role).inbound.heldBytes() < kMaxHeldBytes;
}

bool RelayConnection::mayWrite(Role role) const {
    const Side& side = sides_[role];
    return !side.broken && !side.writeBlocked && !(role == Target && connecting_);
}

pollfd RelayConnection::pollEntry(Role role) const {
    const Side& side = sides_[role];
    pollfd entry{-1, 0, 0};
    if (side.broken) return entry;
    if (role == Target && connecting_) {
        entry.events = POLLOUT;
    } else {
        if (mayRead(role)) entry.events |= POLLIN;
        if (side.writeBlocked) entry.events |= POLLOUT;
    }
    if (entry.events != 0) entry.fd = side.socket.get();
    return entry;
}

void RelayConnection::handle(Role role, short revents, std::vector<char>& readBuffer) {
    if (revents == 0) return;
    Side& side = sides_[role];
    if (role == Target && connecting_) {
        const int error = connectError(side.socket.get());
        if (error == 0) {
            connecting_ = false;
            return;
        }
        failure_ = std::string("connect to target: ") + std::strerror(error);
        breakSide(side);
        breakSide(other(role));  // holds nothing yet: the target never sent anything
        return;
    }
    // An error or hang-up also ends a blocked write: the next write finds out which.
    if (revents & (POLLOUT | POLLERR | POLLHUP)) side.writeBlocked = false;
    if ((revents & (POLLIN | POLLERR | POLLHUP)) && mayRead(role)) readFrom(role, readBuffer);
}

void RelayConnection::readFrom(Role role, std::vector<char>& readBuffer) {
    Side& side = sides_[role];
    Side& to = other(role);
    for (int i = 0; i < kReadsPerWake && mayRead(role); ++i) {
        const ssize_t n =
            recv(side.socket.get(), readBuffer.data(), readBuffer.size(), MSG_DONTWAIT);
        if (n > 0) {
            side.bytesRead += static_cast<uint64_t>(n);
            to.inbound.hold(std::vector<char>(readBuffer.begin(), readBuffer.begin() + n),
                            side.outbound.releaseTimeFor(RelayClock::now()));
        } else if (n == 0) {
            ending_ = true;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        } else if (errno != EINTR) {
            breakSide(side);
        }
    }
}

void RelayConnection::breakSide(Side& side) {
    side.broken = true;
    side.writeBlocked = false;
    side.inbound.discard();
    ending_ = true;
}

void RelayConnection::writeDue(RelayClock::time_point now) {
    for (Role role : {Client, Target}) {
        if (!mayWrite(role)) continue;
        Side& side = sides_[role];
        switch (side.inbound.writeDue(side.socket.get(), now)) {
            case DelayedQueue::WriteResult::Done:
                break;
            case DelayedQueue::WriteResult::Blocked:
                side.writeBlocked = true;
                break;
            case DelayedQueue::WriteResult::Failed:
                breakSide(side);
                break;
        }
    }
}

std::optional<RelayClock::time_point> RelayConnection::nextRelease() const {
    std::optional<RelayClock::time_point> earliest;
    for (Role role : {Client, Target}) {
        if (!mayWrite(role)) continue;
        if (const auto release = sides_[role].inbound.nextRelease()) {
            earliest = earliest ? std::min(*earliest, *release) : *release;
        }
    }
    return earliest;
}

bool RelayConnection::finished() const {
    return ending_ && std::all_of(sides_.begin(), sides_.end(),
                                  [](const Side& s) { return s.broken || s.inbound.empty(); });
}
