// The few socket operations the relay needs, each reporting failure as a message instead of
// throwing: a non-blocking listener on loopback, resolving the target once, and a non-blocking
// connect to it. Every socket made here is non-blocking, close-on-exec and has Nagle's algorithm
// off, so the relay adds no delay of its own to small writes.
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>

#include "unique_fd.h"

// Listens on 127.0.0.1:port (0: any free port). Invalid, with `error` set, on failure.
UniqueFd listenOnLoopback(uint16_t port, std::string& error);

// The local port a bound socket has.
uint16_t boundPort(int fd);
// The port of the peer a connected socket talks to (0 when it has none).
uint16_t peerPort(int fd);

struct TargetAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// Resolves host:port, preferring an IPv4 address when the name has both kinds.
std::optional<TargetAddress> resolveTarget(const std::string& host, uint16_t port,
                                           std::string& error);

// True if connecting to `target` would reach a listener on 127.0.0.1:listenPort: a relay aimed
// at itself would open a new connection to itself for every one it accepts.
bool reachesLoopbackPort(const TargetAddress& target, uint16_t listenPort);

struct ConnectStart {
    UniqueFd socket;         // invalid when the connect failed at once (see `error`)
    bool connected = false;  // false: in progress, writable once done (check connectError)
    std::string error;
};
ConnectStart startConnect(const TargetAddress& target);

// The outcome of a connect that was in progress: 0 or an errno value.
int connectError(int fd);

// Makes an accepted socket ready for relaying (no Nagle delay).
void prepareAccepted(int fd);
