// RefusalCounts: what a server refused its remote callers, counted for the operator (the server
// prints them when it ends) and for the tests.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

struct RefusalCounts {
    std::atomic<uint64_t> joins{0};          // logins refused (full, or the slot rules)
    std::atomic<uint64_t> foreignCalls{0};   // a number or secret the caller does not hold
    std::atomic<uint64_t> pauses{0};         // pauses asked for too soon after the player's last
    std::atomic<uint64_t> cheats{0};         // cheats on a server that does not allow them
    std::atomic<uint64_t> callsInFlight{0};  // calls past one address's share of the server
    std::atomic<uint64_t> spectators{0};     // spectators past the server's or an address's limit
    // The web port (web_port.h): requests other than a GET of a known path, or too large, or
    // too slow to arrive; connections past its caps; WebSocket messages malformed, too large or
    // too many.
    std::atomic<uint64_t> webRequests{0};
    std::atomic<uint64_t> webConnections{0};
    std::atomic<uint64_t> webMessages{0};

    // One console line: "Pedidos recusados: ..." with every count.
    std::string summary() const;
};
