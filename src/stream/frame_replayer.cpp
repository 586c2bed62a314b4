#include "stream/frame_replayer.h"

#include <cinttypes>

#include "platform/clock.h"
#include "stream/bound_names.h"
#include "stream/frame_marker.h"

FrameReplayer::FrameReplayer(ListaBitmaps& registry, const std::string& logPath,
                             const std::string& namesPath)
    : registry(registry) {
    if (!logPath.empty()) log.reset(std::fopen(logPath.c_str(), "w"));
    // Whole lines as they happen: the log is read while the client runs.
    if (log) std::setvbuf(log.get(), nullptr, _IOLBF, 0);
    if (!namesPath.empty()) namesFile.reset(std::fopen(namesPath.c_str(), "w"));
    if (namesFile) {
        namesAtLast = registry.names();
        namesChangeCount = registry.changeCount();
    }
}

FrameReplayer::~FrameReplayer() {
    if (namesFile) {
        std::fprintf(namesFile.get(), "%s\n", formatBoundNames(last, namesAtLast).c_str());
    }
}

void FrameReplayer::replay(const std::string& text) {
    // The text up to each marker is one picture's drawing: it is on the window once replayed.
    size_t drawingStart = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        const std::optional<FrameMarker> marker =
            text.compare(start, 6, "frame ") == 0 ? readFrameMarker(text.substr(start, end - start))
                                                  : std::nullopt;
        if (marker) {
            executeBatch(registry, text.substr(drawingStart, start - drawingStart));
            drawingStart = end + 1;
            ++frames;
            last = marker->frame;
            if (namesFile && registry.changeCount() != namesChangeCount) {
                namesAtLast = registry.names();
                namesChangeCount = registry.changeCount();
            }
            if (log) {
                std::fprintf(log.get(), "%" PRIu64 " %" PRId64 " %" PRId64 "\n", marker->frame,
                             marker->flushMs, clockMs());
            }
        }
        start = end + 1;
    }
    if (drawingStart < text.size()) executeBatch(registry, text.substr(drawingStart));
}
