// The pause screen: the pause picture over the race, holding the game thread until the pause ends.
//
// The caller says when the pause ends: `ended` is asked between looks, and the pause lasts until
// it answers true. A press of P that ends a pause is consumed. The picture is drawn only where the
// game draws locally, and recorded in every mode; its two destruction records leave with the
// caller's next flush.
#pragma once

#include <functional>

void showPauseScreen(const std::function<bool()>& ended);

// The end of a local pause: a new press of P (the caller clears the P that opened the pause).
bool pKeyPressed();
