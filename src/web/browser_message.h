// What a browser may say over its WebSocket (web_port.h), one text message each:
//   "watch"          watch as a spectator
//   "join"           take a free player place
//   "rejoin SECRET"  take back the place of SECRET (32 hexadecimal digits)
//   "flip"           flip the gravity of this browser's runner
//   "pause"          pause the race, or go on
//   "ping"           nothing: keeps the connection warm
// Anything else, including these with other blanks or case, is malformed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct BrowserMessage {
    enum class Kind { Watch, Join, Rejoin, Flip, Pause, Ping };
    Kind kind;
    std::string secret;  // Rejoin only
};

// The longest message a browser sends ("rejoin " and a secret) with room to spare; a WebSocket
// message longer than this is refused before it is read whole.
constexpr size_t kMaxBrowserMessageBytes = 64;

std::optional<BrowserMessage> readBrowserMessage(std::string_view text);
