#include "world/identity_colour.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

IdentityCounter afterRegistrations(int count) {
    IdentityCounter counter;
    for (int i = 0; i < count; ++i) advanceIdentityCounter(counter);
    return counter;
}

void expectCounter(const IdentityCounter& counter, int red, int green, int blue) {
    EXPECT_EQ(counter.red, red);
    EXPECT_EQ(counter.green, green);
    EXPECT_EQ(counter.blue, blue);
}

TEST(IdentityColour, StartsAfterZeroZeroOneAndCarriesBlueIntoGreenIntoRed) {
    expectCounter(afterRegistrations(0), 0, 0, 1);
    expectCounter(afterRegistrations(1), 0, 0, 2);
    expectCounter(afterRegistrations(254), 0, 0, 255);
    expectCounter(afterRegistrations(255), 0, 1, 0);
    expectCounter(afterRegistrations(256), 0, 1, 1);
    expectCounter(afterRegistrations(255 + 256 * 255), 1, 0, 0);
}

TEST(IdentityColour, ACounterNeverRepeatsAColourAndStartsAfterBlack) {
    IdentityCounter counter;
    const int first = nextIdentityColour(counter);
    const int second = nextIdentityColour(counter);
    EXPECT_EQ(first, makecol(0, 0, 2));
    EXPECT_NE(first, second);
    EXPECT_NE(first, makecol(0, 0, 0));
    EXPECT_NE(first, makecol(255, 255, 255));
    // Consecutive colours: blue goes up by one, or wraps to 0 with a carry into green.
    const bool carried = getb(first) == 255;
    EXPECT_EQ(getb(second), carried ? 0 : getb(first) + 1);
    EXPECT_EQ(getg(second), carried ? getg(first) + 1 : getg(first));
}

}  // namespace
