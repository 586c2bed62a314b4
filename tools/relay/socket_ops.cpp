#include "socket_ops.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

void disableNagle(int fd) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

UniqueFd listenOnLoopback(uint16_t port, std::string& error) {
    UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        error = systemError("socket");
        return {};
    }
    const int on = 1;
    setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = systemError("bind 127.0.0.1");
        return {};
    }
    if (listen(fd.get(), SOMAXCONN) != 0) {
        error = systemError("listen");
        return {};
    }
    return fd;
}

namespace {

uint16_t portOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    }
    return 0;
}

}  // namespace

uint16_t boundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return portOf(address);
}

uint16_t peerPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return portOf(address);
}

std::optional<TargetAddress> resolveTarget(const std::string& host, uint16_t port,
                                           std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) {
        error = "cannot resolve " + host + ": " + gai_strerror(rc);
        return std::nullopt;
    }
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, freeaddrinfo);
    const addrinfo* chosen = list.get();
    for (const addrinfo* a = list.get(); a; a = a->ai_next) {
        if (a->ai_family == AF_INET) {
            chosen = a;
            break;
        }
    }
    TargetAddress target;
    std::memcpy(&target.address, chosen->ai_addr, chosen->ai_addrlen);
    target.length = chosen->ai_addrlen;
    return target;
}

bool reachesLoopbackPort(const TargetAddress& target, uint16_t listenPort) {
    if (target.address.ss_family != AF_INET) return false;
    const auto& ipv4 = reinterpret_cast<const sockaddr_in&>(target.address);
    const uint32_t host = ntohl(ipv4.sin_addr.s_addr);
    // 0.0.0.0 as a destination means this host.
    return ntohs(ipv4.sin_port) == listenPort && (host == INADDR_LOOPBACK || host == INADDR_ANY);
}

ConnectStart startConnect(const TargetAddress& target) {
    ConnectStart start;
    UniqueFd fd(socket(target.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        start.error = systemError("socket");
        return start;
    }
    disableNagle(fd.get());
    if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&target.address), target.length) == 0) {
        start.connected = true;
    } else if (errno != EINPROGRESS) {
        start.error = systemError("connect");
        return start;
    }
    start.socket = std::move(fd);
    return start;
}

int connectError(int fd) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
    return error;
}

void prepareAccepted(int fd) { disableNagle(fd); }
