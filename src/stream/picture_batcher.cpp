#include "stream/picture_batcher.h"

#include "stream/instruction_text.h"

std::optional<RecordedBatch> PictureBatcher::add(std::string text) {
    if (text.empty()) return std::nullopt;
    pending += text;
    pending += kPieceSeparator;
    drawnSincePicture = true;
    if (++pendingCount < kBatchSize) return std::nullopt;
    return close(std::nullopt);
}

RecordedBatch PictureBatcher::flush(int64_t nowMs) {
    std::optional<FrameMarker> marker;
    if (drawnSincePicture) marker = FrameMarker{pictures.load() + 1, nowMs};
    drawnSincePicture = false;
    RecordedBatch batch = close(marker);
    if (marker) ++pictures;
    return batch;
}

RecordedBatch PictureBatcher::close(std::optional<FrameMarker> marker) {
    RecordedBatch batch{std::move(pending), false, marker};
    batch.essential = holdsBitmapChange(batch.text);
    pending.clear();
    pendingCount = 0;
    return batch;
}
