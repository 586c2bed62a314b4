#include "stream/received_picture.h"

#include <cstring>

namespace {

bool startsWith(const std::string& text, size_t at, const char* word) {
    const size_t length = std::strlen(word);
    return text.compare(at, length, word) == 0 && at + length < text.size() &&
           text[at + length] == ' ';
}

// Whether the piece at `at` only draws: on a picture nobody sees it changes nothing that lasts.
bool onlyDraws(const std::string& text, size_t at) {
    return startsWith(text, at, "blit") || startsWith(text, at, "draw_sprite") ||
           startsWith(text, at, "draw_sprite_v_flip");
}

}  // namespace

std::string ReceivedPicture::text() const {
    if (!marker) return drawing;
    return drawing + formatFrameMarker(*marker) + ";";
}

std::vector<ReceivedPicture> splitPictures(const std::string& text) {
    std::vector<ReceivedPicture> pictures;
    size_t drawingStart = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::optional<FrameMarker> marker;
        if (text.compare(start, 6, "frame ") == 0) {
            marker = readFrameMarker(text.substr(start, end - start));
        }
        if (marker) {
            pictures.push_back({text.substr(drawingStart, start - drawingStart), marker});
            drawingStart = end + 1;
        }
        start = end + 1;
    }
    if (drawingStart < text.size()) pictures.push_back({text.substr(drawingStart), std::nullopt});
    return pictures;
}

std::string withoutDrawing(const std::string& drawing) {
    std::string kept;
    size_t start = 0;
    while (start < drawing.size()) {
        size_t end = drawing.find(';', start);
        if (end == std::string::npos) end = drawing.size();
        if (!onlyDraws(drawing, start)) kept.append(drawing, start, end + 1 - start);
        start = end + 1;
    }
    return kept;
}
