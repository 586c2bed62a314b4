#include "net/fetch_ticket.h"

uint64_t fetchTicket(const std::string& secret) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : secret) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}
