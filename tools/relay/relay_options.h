// The relay's command line, parsed into checked values:
//   delay_relay LISTEN_PORT TARGET_HOST TARGET_PORT DELAY_MS [JITTER_MS] [--seed N]
// Every number is plain decimal and within its range, or the whole line is refused with a one-line
// reason.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RelayOptions {
    uint16_t listenPort = 0;  // 0: any free port
    std::string targetHost;
    uint16_t targetPort = 0;
    std::chrono::milliseconds delay{0};
    std::chrono::milliseconds jitter{0};
    std::optional<uint64_t> seed;  // none: a random seed
};

struct ParsedRelayOptions {
    std::optional<RelayOptions> options;
    std::string error;  // why the line was refused, when there are no options
};

// `args` are the arguments after the program name.
ParsedRelayOptions parseRelayOptions(const std::vector<std::string>& args);

extern const char* const kRelayUsage;
