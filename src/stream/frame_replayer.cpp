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
    for (const ReceivedPicture& picture : splitPictures(text)) carryOut(picture, true, answerLeft);
}

void FrameReplayer::carryOut(const ReceivedPicture& picture, bool drawing, long long& answerLeft) {
    const std::optional<FrameMarker>& marker = picture.marker;
    if (pictureSink)
        pictureSink(marker ? marker->flushMs : lastFlushMs.value_or(clockMs()), picture.text());
    drawPicture(drawing ? picture.drawing : withoutDrawing(picture.drawing), answerLeft);
    if (!marker) return;
    lastFlushMs = marker->flushMs;
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
