#include "world/level_hash.h"

#include <cstdio>

uint64_t levelHash(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : text) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

std::string levelHashText(uint64_t hash) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}
