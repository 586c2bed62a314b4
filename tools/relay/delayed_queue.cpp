#include "delayed_queue.h"

#include <sys/socket.h>

#include <cerrno>

void DelayedQueue::hold(std::vector<char> bytes, RelayClock::time_point releaseAt) {
    if (bytes.empty()) return;
    heldBytes_ += bytes.size();
    chunks_.push_back({std::move(bytes), releaseAt});
}

DelayedQueue::WriteResult DelayedQueue::writeDue(int fd, RelayClock::time_point now) {
    while (!chunks_.empty() && chunks_.front().releaseAt <= now) {
        const std::vector<char>& head = chunks_.front().bytes;
        const ssize_t n = send(fd, head.data() + headWritten_, head.size() - headWritten_,
                               MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return WriteResult::Blocked;
            return WriteResult::Failed;
        }
        headWritten_ += static_cast<size_t>(n);
        heldBytes_ -= static_cast<size_t>(n);
        if (headWritten_ == head.size()) {
            chunks_.pop_front();
            headWritten_ = 0;
        }
    }
    return WriteResult::Done;
}

void DelayedQueue::discard() {
    chunks_.clear();
    headWritten_ = 0;
    heldBytes_ = 0;
}

std::optional<RelayClock::time_point> DelayedQueue::nextRelease() const {
    if (chunks_.empty()) return std::nullopt;
    return chunks_.front().releaseAt;
}
