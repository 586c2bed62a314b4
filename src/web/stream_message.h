// The binary messages that carry a place's pictures to its browser.
//
// Each message is one answer of the place's queue (the frames fetch's text, "part N" first),
// delta-packed (delta_packing.h) and then deflated in one zlib stream of the place's own, with a
// sync flush at the end of each answer (deflate_stream.h): pictures repeat the ones before them,
// so one stream costs a fraction of what each answer deflated alone would. The browser inflates the
// stream with its DecompressionStream("deflate"), which gives bytes without telling where an
// answer ends, so each message begins with the length of its answer's packed text in bytes, as an
// unsigned LEB128 number (7 bits a byte, lowest first, the top bit set on every byte but the last),
// followed by the answer's deflated bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "stream/deflate_stream.h"

// The message for `packed`, continuing `deflater`'s stream.
std::string streamMessage(Deflater& deflater, const std::string& packed);

struct StreamMessageHead {
    size_t textBytes;  // the answer's packed text, once inflated
    size_t headBytes;  // the length's own bytes, before the deflated ones
};
// The head of a message; nothing when it is no LEB128 number of at most 32 bits.
std::optional<StreamMessageHead> readStreamMessageHead(std::string_view message);
