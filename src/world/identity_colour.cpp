#include "world/identity_colour.h"

#include <allegro.h>

void advanceIdentityCounter(IdentityCounter& counter) {
    if (++counter.blue <= 255) return;
    counter.blue = 0;
    if (++counter.green <= 255) return;
    counter.green = 0;
    ++counter.red;
}

int nextIdentityColour(IdentityCounter& counter) {
    advanceIdentityCounter(counter);
    return makecol(counter.red, counter.green, counter.blue);
}
