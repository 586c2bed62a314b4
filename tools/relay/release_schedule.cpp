#include "release_schedule.h"

#include <algorithm>

using std::chrono::microseconds;

JitterSource::JitterSource(std::chrono::milliseconds jitter, uint64_t seed)
    : engine_(seed), offsetUs_(-microseconds(jitter).count(), microseconds(jitter).count()) {}

microseconds JitterSource::next() { return microseconds(offsetUs_(engine_)); }

RelayClock::time_point ReleaseSchedule::releaseTimeFor(RelayClock::time_point readAt) {
    const microseconds hold = std::max(microseconds(delay_) + jitter_.next(), microseconds(0));
    RelayClock::time_point release = readAt + hold;
    if (previous_) release = std::max(release, *previous_);
    previous_ = release;
    return release;
}
