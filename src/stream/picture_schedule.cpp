#include "stream/picture_schedule.h"

namespace {

// Whether `next` was flushed a frame or more after `picture` (any stamps: no overflow).
bool drawnLater(const FrameMarker& picture, const FrameMarker& next) {
    return next.flushMs > picture.flushMs &&
           static_cast<uint64_t>(next.flushMs) - static_cast<uint64_t>(picture.flushMs) >=
               static_cast<uint64_t>(PictureSchedule::kSameMomentMs);
}

}  // namespace

void PictureSchedule::add(const std::string& text, int64_t arrivedMs, bool timed) {
    for (ReceivedPicture& picture : splitPictures(text)) {
        const int64_t due =
            picture.marker && timed ? delay.dueMs(picture.marker->flushMs, arrivedMs) : arrivedMs;
        const bool skippable = picture.marker && timed;
        waiting.push_back({std::move(picture), due, skippable});
    }
}

std::optional<PictureSchedule::Step> PictureSchedule::next(int64_t nowMs) {
    if (waiting.empty() || waiting.front().dueMs > nowMs) return std::nullopt;
    const bool skippable = waiting.front().skippable;
    Step step{Action::Show, std::move(waiting.front().picture)};
    waiting.pop_front();
    if (!step.picture.marker) {
        step.action = Action::Draw;
    } else if (skippable && !waiting.empty() && waiting.front().picture.marker &&
               waiting.front().dueMs <= nowMs &&
               drawnLater(*step.picture.marker, *waiting.front().picture.marker)) {
        step.action = Action::Skip;
    }
    return step;
}

std::optional<int64_t> PictureSchedule::nextDueMs() const {
    if (waiting.empty()) return std::nullopt;
    return waiting.front().dueMs;
}
