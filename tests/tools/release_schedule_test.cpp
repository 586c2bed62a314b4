// Release times of one direction: the delay plus a jitter drawn over its whole range, never a
// negative hold, never earlier than the chunk before, and the same times again from the same seed.
#include "release_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The holds of 2000 chunks read `spacing` apart, each checked against the chunk before.
std::vector<RelayClock::duration> holds(std::chrono::milliseconds delay,
                                        std::chrono::milliseconds jitter, uint64_t seed,
                                        RelayClock::duration spacing) {
    JitterSource source(jitter, seed);
    ReleaseSchedule schedule(delay, source);
    std::vector<RelayClock::duration> result;
    const RelayClock::time_point start{};
    std::optional<RelayClock::time_point> previous;
    for (int i = 0; i < 2000; ++i) {
        const RelayClock::time_point readAt = start + i * spacing;
        const RelayClock::time_point release = schedule.releaseTimeFor(readAt);
        EXPECT_GE(release, readAt) << "chunk " << i;
        if (previous) {
            EXPECT_GE(release, *previous) << "chunk " << i;
        }
        previous = release;
        result.push_back(release - readAt);
    }
    return result;
}

}  // namespace

TEST(ReleaseSchedule, JitterSpreadsHoldsOverTheWholeRangeAroundTheDelay) {
    // Reads further apart than the jitter's range: no chunk waits for the one before.
    const auto jittered = holds(10ms, 4ms, 1, 20ms);
    const auto [shortest, longest] = std::minmax_element(jittered.begin(), jittered.end());
    EXPECT_GE(*shortest, 6ms);
    EXPECT_LT(*shortest, 6100us);
    EXPECT_LE(*longest, 14ms);
    EXPECT_GT(*longest, 13900us);

    for (const auto hold : holds(10ms, 0ms, 1, 20ms)) EXPECT_EQ(hold, 10ms);
    EXPECT_EQ(holds(10ms, 4ms, 99, 20ms), holds(10ms, 4ms, 99, 20ms));
}

TEST(ReleaseSchedule, ChunksReadCloseTogetherKeepTheirOrderAndNoHoldIsNegative) {
    // The order is checked inside holds(); here the reads come faster than the offsets change.
    holds(10ms, 4ms, 3, 100us);
    const auto beyondTheDelay = holds(2ms, 10ms, 5, 20ms);
    EXPECT_EQ(*std::min_element(beyondTheDelay.begin(), beyondTheDelay.end()), 0ms);
}
