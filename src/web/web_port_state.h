// What the web port's connections share, on its I/O thread alone: the server they serve, the
// files they may send, the connection caps, and the open WebSockets (to pump each one's pictures
// and to tell the one a reloaded page replaces).
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "net/connection_limits.h"
#include "web/web_files.h"

struct ServerContext;
class BrowserSocket;

struct WebPortState {
    WebPortState(ServerContext& server, WebFiles files, ConnectionCaps caps)
        : server(server), files(std::move(files)), limits(caps) {}

    ServerContext& server;
    const WebFiles files;
    ConnectionLimits limits;
    std::map<uint64_t, std::weak_ptr<BrowserSocket>> sockets;
    uint64_t nextSocketId = 1;
};

// One connection counted against the caps until it is destroyed (it moves along when an HTTP
// connection becomes a WebSocket).
class ConnectionTicket {
  public:
    ConnectionTicket(ConnectionLimits& limits, ConnectionKey key)
        : limits(&limits), key_(std::move(key)) {}
    ConnectionTicket(ConnectionTicket&& other) noexcept
        : limits(other.limits), key_(std::move(other.key_)) {
        other.limits = nullptr;
    }
    ConnectionTicket& operator=(ConnectionTicket&&) = delete;
    ConnectionTicket(const ConnectionTicket&) = delete;
    ConnectionTicket& operator=(const ConnectionTicket&) = delete;
    ~ConnectionTicket() {
        if (limits) limits->release(key_);
    }

    const ConnectionKey& key() const { return key_; }

  private:
    ConnectionLimits* limits;
    ConnectionKey key_;
};
