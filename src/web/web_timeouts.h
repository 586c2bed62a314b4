// How long the web port waits for a peer, and how much it reads from one.
#pragma once

#include <chrono>
#include <cstddef>

// A request must arrive whole within this, headers and all, so a slow sender cannot hold a
// connection; so must a WebSocket's opening handshake.
constexpr std::chrono::seconds kRequestTimeout{5};
// A response the peer has not taken whole in this long (a large picture to a slow phone).
constexpr std::chrono::seconds kResponseTimeout{30};
// A WebSocket that has said nothing for this long has gone (the page speaks every 2 s).
constexpr std::chrono::seconds kIdleTimeout{15};
// A write the peer has not taken in this long: a peer that does not read.
constexpr std::chrono::seconds kStalledWriteTimeout{10};
// The largest request head (request line and headers) read.
constexpr size_t kMaxRequestHeadBytes = 4096;
