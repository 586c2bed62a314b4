#include "relay_options.h"

#include <charconv>

const char* const kRelayUsage =
    "usage: delay_relay LISTEN_PORT TARGET_HOST TARGET_PORT DELAY_MS [JITTER_MS] [--seed N]";

namespace {

// The longest delay or jitter accepted: an hour, far beyond any link worth simulating.
constexpr uint64_t kMaxMs = 3'600'000;

std::optional<uint64_t> parseNumber(const std::string& text, uint64_t max) {
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value > max) return std::nullopt;
    return value;
}

}  // namespace

ParsedRelayOptions parseRelayOptions(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    RelayOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seed") {
            if (i + 1 >= args.size()) return {std::nullopt, "--seed needs a number"};
            o.seed = parseNumber(args[++i], UINT64_MAX);
            if (!o.seed) return {std::nullopt, "bad seed: " + args[i]};
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return {std::nullopt, "unknown option: " + args[i]};
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() < 4) return {std::nullopt, "missing arguments"};
    if (positional.size() > 5) return {std::nullopt, "too many arguments"};

    const auto listenPort = parseNumber(positional[0], 65535);
    if (!listenPort) return {std::nullopt, "bad listen port: " + positional[0]};
    o.listenPort = static_cast<uint16_t>(*listenPort);
    o.targetHost = positional[1];
    if (o.targetHost.empty()) return {std::nullopt, "empty target host"};
    const auto targetPort = parseNumber(positional[2], 65535);
    if (!targetPort || *targetPort == 0) {
        return {std::nullopt, "bad target port: " + positional[2]};
    }
    o.targetPort = static_cast<uint16_t>(*targetPort);
    const auto delay = parseNumber(positional[3], kMaxMs);
    if (!delay) return {std::nullopt, "bad delay (milliseconds): " + positional[3]};
    o.delay = std::chrono::milliseconds(*delay);
    if (positional.size() == 5) {
        const auto jitter = parseNumber(positional[4], kMaxMs);
        if (!jitter) return {std::nullopt, "bad jitter (milliseconds): " + positional[4]};
        o.jitter = std::chrono::milliseconds(*jitter);
    }
    return {o, ""};
}
