// The pause screen: the pause picture over the race, holding the game thread until the pause ends.
//
// With a networked race in progress (the control state's `active` set) the pause lasts while the
// control state's `paused` flag stays set; otherwise it lasts until P is pressed on the keyboard,
// and that press is consumed. The caller clears the P that opened the pause before calling. The
// picture is drawn only where the game draws locally, and recorded in every mode; its two
// destruction records leave with the caller's next flush.
#pragma once

void showPauseScreen();
