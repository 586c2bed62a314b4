#include "stream/deflate_stream.h"

#include <stdexcept>

namespace {
constexpr int kMemLevel = 5;
}  // namespace

Deflater::Deflater() {
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kWindowBits, kMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::bad_alloc();
    }
}

Deflater::~Deflater() { deflateEnd(&stream); }

std::string Deflater::deflate(const std::string& text) {
    std::string out;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    char buffer[16384];
    do {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        ::deflate(&stream, Z_SYNC_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    } while (stream.avail_out == 0);
    return out;
}

Inflater::Inflater() {
    if (inflateInit(&stream) != Z_OK) throw std::bad_alloc();
}

Inflater::~Inflater() { inflateEnd(&stream); }

void Inflater::reset() {
    inflateReset(&stream);
    broken = false;
}

std::optional<std::string> Inflater::inflate(const std::string& bytes) {
    if (broken) return std::nullopt;
    std::string out;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    char buffer[16384];
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        const int result = ::inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
        // Our servers never end a stream: an end, like damaged data, breaks it.
        if (out.size() > kMaxAnswerBytes || (result != Z_OK && result != Z_BUF_ERROR)) {
            broken = true;
            return std::nullopt;
        }
        if (result == Z_BUF_ERROR || (stream.avail_in == 0 && stream.avail_out != 0)) break;
    }
    return out;
}
