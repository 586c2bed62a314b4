// Identity colours: every object registered with a stage map gets a colour of its own, under which
// its box is painted into the collision working copy and under which a probe finds it again.
//
// Each stage map counts its own, in (red, green, blue) from (0, 0, 1): its first registration gets
// (0, 0, 2), the 254th (0, 0, 255), the 255th (0, 1, 0). It is never black or white in practice
// (that would take 16.7 million objects in one stage).
#pragma once

struct IdentityCounter {
    int red = 0, green = 0, blue = 1;
};

// Advances `counter` by one colour (blue first, carrying into green and then red).
void advanceIdentityCounter(IdentityCounter& counter);

// Advances `counter` and returns makecol of its new value.
int nextIdentityColour(IdentityCounter& counter);
