// ConnectionLimits: which incoming connections the server takes, and how many it refused.
//
// A new connection is taken while its peer's address holds fewer than `perAddress` connections
// and the server fewer than `total`; otherwise it is refused and counted (by the cap that refused
// it). A taken connection counts until it is released: by release(), or by keepOnly(), which is
// told the connections still open and drops every other. Nothing here looks at the system: the
// caller says what opened and what is still open. Not thread-safe: the caller holds a lock.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

// One TCP connection as the server sees it: the peer's numeric address and port, and the local
// port it reached.
struct ConnectionKey {
    std::string peerAddress;
    int peerPort = 0;
    int localPort = 0;

    bool operator<(const ConnectionKey& other) const {
        return std::tie(peerAddress, peerPort, localPort) <
               std::tie(other.peerAddress, other.peerPort, other.localPort);
    }
    bool operator==(const ConnectionKey& other) const {
        return std::tie(peerAddress, peerPort, localPort) ==
               std::tie(other.peerAddress, other.peerPort, other.localPort);
    }
};

enum class AdmitResult { kTaken, kRefusedPerAddress, kRefusedTotal };

struct ConnectionCaps {
    int perAddress;
    int total;
};

class ConnectionLimits {
  public:
    explicit ConnectionLimits(ConnectionCaps caps) : caps_(caps) {}

    // Whether `connection` would be refused now, without counting anything.
    bool wouldRefuse(const ConnectionKey& connection) const;
    // Takes `connection` or refuses it, and counts either. The same key taken twice (a port the
    // system reused before its release was seen) counts once.
    AdmitResult admit(const ConnectionKey& connection);
    // The connection has closed; an unknown key is ignored.
    void release(const ConnectionKey& connection);
    // Releases every taken connection that is not in `stillOpen`.
    void keepOnly(const std::set<ConnectionKey>& stillOpen);

    int open() const { return static_cast<int>(open_.size()); }
    int openFrom(const std::string& peerAddress) const;
    uint64_t refusedPerAddress() const { return refusedPerAddress_; }
    uint64_t refusedTotal() const { return refusedTotal_; }
    uint64_t refused() const { return refusedPerAddress_ + refusedTotal_; }
    const ConnectionCaps& caps() const { return caps_; }

  private:
    void forget(std::set<ConnectionKey>::iterator connection);

    const ConnectionCaps caps_;
    std::set<ConnectionKey> open_;
    std::map<std::string, int> perAddress_;
    uint64_t refusedPerAddress_ = 0;
    uint64_t refusedTotal_ = 0;
};
