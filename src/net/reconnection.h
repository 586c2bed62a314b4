// Reconnection: how a client that joined with a secret gets its place back after its connection
// to the server dropped, instead of ending the session.
//
// The fetching threads meet a lost connection (COMM_FAILURE, TRANSIENT) at once, each on its own
// call. The first to ask recovers for all: it asks the server for the place by the secret
// (Login.rejoin, a few tries over about two seconds, omniORB opening a new connection), and the
// answers then go on from the part number the server gives; those still on their way from before
// carry lower numbers and are dropped. The others, when their turn comes, see that the connection
// was recovered since their call began and carry on.
#pragma once

#include <omniORB4/CORBA.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "net/ordered_parts.h"

class Reconnection {
  public:
    // Asks the server for the place: the next part number, nothing when the place is gone.
    // Throws the CORBA exceptions of the call.
    using Rejoin = std::function<std::optional<uint64_t>()>;

    Reconnection(Rejoin rejoin, OrderedParts& parts) : rejoin(std::move(rejoin)), parts(parts) {}

    // Counts the recoveries: a fetch notes it before its call.
    uint64_t generation();
    // A call begun at `generation` lost its connection: true when the session goes on (the place
    // is back); false when it cannot (`placeLost` then says whether the server gave it away).
    bool recover(uint64_t generation, bool& placeLost);

    static constexpr int kTries = 4;
    static constexpr int kPauseBetweenTriesMs = 500;

  private:
    std::mutex lock;
    uint64_t recoveries = 0;
    const Rejoin rejoin;
    OrderedParts& parts;
};

// Whether `failure` is a lost connection (rather than a server that stopped answering in time, or
// that refused the call).
bool isLostConnection(const CORBA::Exception& failure);
