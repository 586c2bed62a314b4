#include "support/frame_markers.h"

#include "stream/instruction_text.h"

std::vector<FrameMarker> frameMarkersIn(const std::string& text) {
    std::vector<FrameMarker> markers;
    forEachPiece(text, [&](std::string_view piece, bool) {
        if (auto marker = readFrameMarker(piece)) markers.push_back(*marker);
        return true;
    });
    return markers;
}
