#include "platform/input_without_round_trip.h"

#include <allegro.h>
// After allegro.h, as it asks.
#include <xalleg.h>

namespace {

bool onX() { return system_driver && system_driver->id == SYSTEM_XWINDOWS; }

// Called by the library's background round with its X lock held.
void readWhenPending() {
    if (_xwin.display && XPending(_xwin.display) > 0) _xwin_private_handle_input();
}

}  // namespace

void readInputOnlyWhenPending() {
    if (!onX()) return;
    XLOCK();
    _xwin_input_handler = readWhenPending;
    XUNLOCK();
}

void readInputEveryRound() {
    if (!onX()) return;
    XLOCK();
    if (_xwin_input_handler == readWhenPending) _xwin_input_handler = nullptr;
    XUNLOCK();
}
