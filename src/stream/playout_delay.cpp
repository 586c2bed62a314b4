#include "stream/playout_delay.h"

#include <algorithm>
#include <vector>

namespace {

// Flush times further than this from the arrival (about 34 years) are no clock reading: a picture
// that carries one is shown when it comes.
constexpr int64_t kFarthestTransitMs = int64_t{1} << 40;
// A picture that took this much longer than the quickest recent one carries a stamp of no use (a
// stall that long has ended the session long ago); one this much quicker comes from a new clock.
constexpr int64_t kStrayTransitMs = 10000;

int64_t percentile95(const std::deque<int64_t>& samples) {
    std::vector<int64_t> sorted(samples.begin(), samples.end());
    const size_t at = (sorted.size() - 1) * 95 / 100;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(at),
                     sorted.end());
    return sorted[at];
}

}  // namespace

int64_t PlayoutDelay::dueMs(int64_t flushMs, int64_t arrivedMs) {
    int64_t transit = 0;
    if (__builtin_sub_overflow(arrivedMs, flushMs, &transit) || transit > kFarthestTransitMs ||
        transit < -kFarthestTransitMs) {
        return arrivedMs;
    }
    if (!transits.empty()) {
        const int64_t quickest = *std::min_element(transits.begin(), transits.end());
        if (transit > quickest + kStrayTransitMs) return arrivedMs;
        if (transit < quickest - kStrayTransitMs) {
            transits.clear();
            level.reset();
        }
    }
    transits.push_back(transit);
    if (transits.size() > kSamples) transits.pop_front();
    // A picture held up for longer than the bound (a stall) cannot be waited for: it raises the
    // level to the bound and no further.
    const int64_t highest = *std::min_element(transits.begin(), transits.end()) + kMaxDelayMs;
    const int64_t measured = std::min(percentile95(transits) + kMarginMs, highest);
    if (!level || measured > *level) {
        level = measured;
    } else {
        // Falling by a sixteenth of the time between two pictures, the pictures are shown 6%
        // closer together than they were drawn until the level is reached: nobody sees that.
        const int64_t drawnApart =
            lastFlushMs ? std::clamp<int64_t>(flushMs - *lastFlushMs, 0, 1000) : 0;
        level =
            std::min(std::max(measured, *level - std::max<int64_t>(drawnApart / 16, 1)), highest);
    }
    lastFlushMs = flushMs;
    return std::min(flushMs + *level, arrivedMs + kMaxDelayMs);
}

int64_t PlayoutDelay::delayMs() const {
    if (!level || transits.empty()) return 0;
    const int64_t quickest = *std::min_element(transits.begin(), transits.end());
    return std::clamp<int64_t>(*level - quickest, 0, kMaxDelayMs);
}
