#include "stream/frame_replayer.h"

#include <algorithm>
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

void FrameReplayer::drawPicture(std::string drawing, long long& answerLeft) {
    WorkBudget budget(std::min(kPictureWorkBudget, answerLeft), stop);
    executeBatch(registry, std::move(drawing), budget);
    answerLeft -= budget.pixelsUsed();
    if (budget.piecesSkipped() > 0 && budget.pixelsLeft() == 0 && cutShort++ == 0) {
        std::fputs(
            "O servidor mandou imagens que pediam trabalho demais; o que passou do limite "
            "nao foi desenhado.\n",
            stdout);
        std::fflush(stdout);
    }
}

void FrameReplayer::replay(const std::string& text) {
    long long answerLeft = kAnswerWorkBudget;
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
            if (pictureSink)
                pictureSink(marker->flushMs, text.substr(drawingStart, end + 1 - drawingStart));
            lastFlushMs = marker->flushMs;
            drawPicture(text.substr(drawingStart, start - drawingStart), answerLeft);
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
    if (drawingStart < text.size()) {
        if (pictureSink) pictureSink(lastFlushMs.value_or(clockMs()), text.substr(drawingStart));
        drawPicture(text.substr(drawingStart), answerLeft);
    }
}
