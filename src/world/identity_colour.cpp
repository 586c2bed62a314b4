#include "world/identity_colour.h"

#include <allegro.h>

namespace {

IdentityCounter processCounter;

}  // namespace

void advanceIdentityCounter(IdentityCounter& counter) {
    if (++counter.blue <= 255) return;
    counter.blue = 0;
    if (++counter.green <= 255) return;
    counter.green = 0;
    ++counter.red;
}

int nextIdentityColour() {
    advanceIdentityCounter(processCounter);
    return makecol(processCounter.red, processCounter.green, processCounter.blue);
}
