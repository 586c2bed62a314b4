#include "web/stream_message.h"

#include <cstdint>

std::string streamMessage(Deflater& deflater, const std::string& packed) {
    std::string message;
    uint64_t length = packed.size();
    do {
        const auto low = static_cast<unsigned char>(length & 0x7f);
        length >>= 7;
        message += static_cast<char>(length != 0 ? (low | 0x80) : low);
    } while (length != 0);
    return message + deflater.deflate(packed);
}

std::optional<StreamMessageHead> readStreamMessageHead(std::string_view message) {
    uint64_t length = 0;
    for (size_t i = 0; i < message.size() && i < 5; ++i) {
        const auto byte = static_cast<unsigned char>(message[i]);
        length |= static_cast<uint64_t>(byte & 0x7f) << (7 * i);
        if ((byte & 0x80) == 0) {
            if (length > UINT32_MAX) return std::nullopt;
            return StreamMessageHead{static_cast<size_t>(length), i + 1};
        }
    }
    return std::nullopt;
}
