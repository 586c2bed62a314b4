#include "stream/compressed_stream_reader.h"

std::optional<std::string> CompressedStreamReader::read(const std::string& bytes,
                                                        bool opensStream) {
    if (opensStream) {
        inflater.reset();
        unpacker.reset();
    }
    std::optional<std::string> text = inflater.inflate(bytes);
    if (!text || compression != Compression::Packed) return text;
    return unpacker.unpack(*text, Inflater::kMaxAnswerBytes);
}
