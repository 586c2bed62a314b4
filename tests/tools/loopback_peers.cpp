#include "loopback_peers.h"

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <stdexcept>
#include <vector>

#include "socket_ops.h"

LoopbackServer::LoopbackServer(Mode mode, std::string greeting)
    : mode_(mode), greeting_(std::move(greeting)) {
    std::string error;
    listener_ = listenOnLoopback(0, error);
    if (!listener_.valid()) throw std::runtime_error(error);
    port_ = boundPort(listener_.get());
    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    wakeRead_ = UniqueFd(wake[0]);
    wakeWrite_ = UniqueFd(wake[1]);
    thread_ = std::thread([this] { serve(); });
}

LoopbackServer::~LoopbackServer() {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(wakeWrite_.get(), &byte, 1);
    thread_.join();
}

bool LoopbackServer::waitForPeerCloses(int count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return peerCloses_ >= count; });
}

void LoopbackServer::serve() {
    struct Peer {
        UniqueFd socket;
        std::string unsent;
    };
    std::map<int, Peer> peers;
    std::vector<char> buffer(64 * 1024);
    while (true) {
        std::vector<pollfd> entries{{wakeRead_.get(), POLLIN, 0}, {listener_.get(), POLLIN, 0}};
        for (const auto& [fd, peer] : peers) {
            entries.push_back({fd, static_cast<short>(peer.unsent.empty() ? POLLIN : POLLOUT), 0});
        }
        if (poll(entries.data(), entries.size(), -1) < 0) continue;
        if (entries[0].revents) return;
        if (entries[1].revents) {
            UniqueFd accepted(accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK));
            if (accepted.valid() && mode_ == Mode::GreetAndClose) {
                send(accepted.get(), greeting_.data(), greeting_.size(), MSG_NOSIGNAL);
            } else if (accepted.valid()) {
                const int fd = accepted.get();
                peers[fd] = Peer{std::move(accepted), greeting_};
            }
        }
        for (size_t i = 2; i < entries.size(); ++i) {
            if (!entries[i].revents) continue;
            Peer& peer = peers[entries[i].fd];
            bool closed = false;
            if (!peer.unsent.empty()) {
                const ssize_t n = send(entries[i].fd, peer.unsent.data(), peer.unsent.size(),
                                       MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n > 0) peer.unsent.erase(0, static_cast<size_t>(n));
                closed = n < 0 && errno != EAGAIN;
            } else {
                const ssize_t n = recv(entries[i].fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
                if (n > 0) peer.unsent.assign(buffer.data(), static_cast<size_t>(n));
                closed = n == 0 || (n < 0 && errno != EAGAIN);
            }
            if (closed) {
                peers.erase(entries[i].fd);
                std::lock_guard<std::mutex> lock(mutex_);
                ++peerCloses_;
                changed_.notify_all();
            }
        }
    }
}

UniqueFd connectToLoopback(uint16_t port) {
    UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const timeval limit{5, 0};
    setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const int on = 1;
    setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return fd;
}

std::string exchangeThrough(int fd, const std::string& payload, size_t piece,
                            std::chrono::microseconds gap) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    auto nextSend = Clock::now();
    size_t sent = 0;
    std::string received;
    std::vector<char> buffer(64 * 1024);
    while (received.size() < payload.size() && Clock::now() < deadline) {
        const bool sendDue = sent < payload.size() && Clock::now() >= nextSend;
        pollfd entry{fd, static_cast<short>(POLLIN | (sendDue ? POLLOUT : 0)), 0};
        poll(&entry, 1, sent < payload.size() ? 1 : 100);
        if (entry.revents & POLLOUT) {
            const size_t length = std::min(piece, payload.size() - sent);
            const ssize_t n = send(fd, payload.data() + sent, length, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) sent += static_cast<size_t>(n);
            nextSend = Clock::now() + gap;
        }
        if (entry.revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN)) break;
            if (n > 0) received.append(buffer.data(), static_cast<size_t>(n));
        }
    }
    return received;
}

bool peerEnds(int fd) {
    char byte;
    const ssize_t n = recv(fd, &byte, 1, 0);
    return n == 0 || (n < 0 && errno == ECONNRESET);
}

PortWithoutListener::PortWithoutListener()
    : socket_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(socket_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        port_ = boundPort(socket_.get());
    }
}

int openDescriptorCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count - 1;  // the directory's own descriptor
}
