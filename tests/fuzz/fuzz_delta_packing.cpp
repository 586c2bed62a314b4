// Fuzz target: the unpacker of the packed frames fetch, as a client runs it on what a server sends,
// and the packer and unpacker together.
//
// An input is one or more texts, one a line. Each is unpacked in order by one unpacker, as packed
// answers from a server; whatever it refuses, it must neither crash nor pass its limit. The same
// texts, packed by a packer as a server's own answers and unpacked by a fresh unpacker, must come
// back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "stream/delta_packing.h"

namespace {

constexpr size_t kLimit = 1u << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    DeltaUnpacker fromAServer;
    DeltaPacker packer;
    DeltaUnpacker fromOurs;
    size_t start = 0;
    while (start <= input.size()) {
        const size_t end = std::min(input.find('\n', start), input.size());
        const std::string_view text = input.substr(start, end - start);
        start = end + 1;
        const std::optional<std::string> unpacked = fromAServer.unpack(text, kLimit);
        if (unpacked && unpacked->size() > kLimit) {
            std::fprintf(stderr, "unpacked past the limit: %zu bytes\n", unpacked->size());
            std::abort();
        }
        const std::optional<std::string> back = fromOurs.unpack(packer.pack(text), size + 1);
        if (!back || *back != text) {
            std::fprintf(stderr, "not back whole: \"%.*s\"\n", static_cast<int>(text.size()),
                         text.data());
            std::abort();
        }
    }
    return 0;
}
