#include "stream/picture_schedule.h"

void PictureSchedule::add(const std::string& text, int64_t arrivedMs, bool timed) {
    for (ReceivedPicture& picture : splitPictures(text)) {
        const int64_t due =
            picture.marker && timed ? delay.dueMs(picture.marker->flushMs, arrivedMs) : arrivedMs;
        waiting.push_back({std::move(picture), due});
    }
}

std::optional<PictureSchedule::Step> PictureSchedule::next(int64_t nowMs) {
    if (waiting.empty() || waiting.front().dueMs > nowMs) return std::nullopt;
    Step step{Action::Show, std::move(waiting.front().picture)};
    waiting.pop_front();
    if (!step.picture.marker) {
        step.action = Action::Draw;
    } else if (!waiting.empty() && waiting.front().picture.marker &&
               waiting.front().dueMs <= nowMs) {
        step.action = Action::Skip;
    }
    return step;
}

std::optional<int64_t> PictureSchedule::nextDueMs() const {
    if (waiting.empty()) return std::nullopt;
    return waiting.front().dueMs;
}
