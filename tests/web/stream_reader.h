// The browser's end of a place's stream messages (web/stream_message.h), for the tests: each
// message inflated in order, checked against the length at its head, and unpacked.
#pragma once

#include <optional>
#include <string>

#include "stream/deflate_stream.h"
#include "stream/delta_packing.h"
#include "web/stream_message.h"

class StreamReader {
  public:
    // The answer's text; nothing when the message is not the stream's continuation.
    std::optional<std::string> read(const std::string& message) {
        const std::optional<StreamMessageHead> head = readStreamMessageHead(message);
        if (!head) return std::nullopt;
        const std::optional<std::string> packed = inflater.inflate(message.substr(head->headBytes));
        if (!packed || packed->size() != head->textBytes) return std::nullopt;
        return unpacker.unpack(*packed, Inflater::kMaxAnswerBytes);
    }

  private:
    Inflater inflater;
    DeltaUnpacker unpacker;
};
