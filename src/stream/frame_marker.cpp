#include "stream/frame_marker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads "WORD digits [digits]" exactly; false on anything else.
bool readNumbers(const char* text, const char* word, uint64_t& first, int64_t* second) {
    const size_t length = std::strlen(word);
    if (std::strncmp(text, word, length) != 0 || text[length] != ' ') return false;
    const char* at = text + length + 1;
    char* end = nullptr;
    if (*at < '0' || *at > '9') return false;
    first = std::strtoull(at, &end, 10);
    if (second == nullptr) return *end == '\0';
    if (*end != ' ') return false;
    at = end + 1;
    if ((*at < '0' || *at > '9') && *at != '-') return false;
    *second = std::strtoll(at, &end, 10);
    return *end == '\0';
}

}  // namespace

std::string formatFrameMarker(const FrameMarker& marker) {
    return "frame " + std::to_string(marker.frame) + " " + std::to_string(marker.flushMs);
}

std::optional<FrameMarker> readFrameMarker(const std::string& piece) {
    FrameMarker marker;
    if (!readNumbers(piece.c_str(), "frame", marker.frame, &marker.flushMs)) return std::nullopt;
    return marker;
}

std::string formatPartHeader(uint64_t part) { return "part " + std::to_string(part); }

std::optional<PartHeader> readPartHeader(const std::string& answer) {
    const size_t end = answer.find(';');
    if (end == std::string::npos) return std::nullopt;
    PartHeader header;
    if (!readNumbers(answer.substr(0, end).c_str(), "part", header.part, nullptr)) {
        return std::nullopt;
    }
    header.bodyStart = end + 1;
    return header;
}
