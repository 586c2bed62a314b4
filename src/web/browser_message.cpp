#include "web/browser_message.h"

#include <algorithm>

namespace {

constexpr size_t kSecretDigits = 32;

bool isSecret(std::string_view word) {
    return word.size() == kSecretDigits && std::all_of(word.begin(), word.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

}  // namespace

std::optional<BrowserMessage> readBrowserMessage(std::string_view text) {
    using Kind = BrowserMessage::Kind;
    if (text == "watch") return BrowserMessage{Kind::Watch, {}};
    if (text == "join") return BrowserMessage{Kind::Join, {}};
    if (text == "flip") return BrowserMessage{Kind::Flip, {}};
    if (text == "pause") return BrowserMessage{Kind::Pause, {}};
    if (text == "ping") return BrowserMessage{Kind::Ping, {}};
    constexpr std::string_view kRejoin = "rejoin ";
    if (text.substr(0, kRejoin.size()) == kRejoin && isSecret(text.substr(kRejoin.size()))) {
        return BrowserMessage{Kind::Rejoin, std::string(text.substr(kRejoin.size()))};
    }
    return std::nullopt;
}
