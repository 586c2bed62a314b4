#include "fake_runners.h"

#include <thread>

void flipFakeRunner(Runner& runner) {
    FakeRunner& fake = FakeRunner::of(runner);
    // Yields between the looks widen the window in which a release could overlap the flip.
    for (int look = 0; look < 3; ++look) {
        std::this_thread::yield();
        if (!fake.alive.load()) ++fake.flipsWhileDead;
    }
    ++fake.flips;
}
