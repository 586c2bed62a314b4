#include "support/frame_markers.h"

std::vector<FrameMarker> frameMarkersIn(const std::string& text) {
    std::vector<FrameMarker> markers;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        if (auto marker = readFrameMarker(text.substr(start, end - start))) {
            markers.push_back(*marker);
        }
        start = end + 1;
    }
    return markers;
}
