// Where the winner picture's stage panels stand: shared by the image generator, which paints the
// panels into Img/menu/parabens.jpg, and the winner screen, which fills their rows at run time.
#pragma once

#include "platform/player_limits.h"

constexpr int kWinnerPanelX = 24;      // left edge of stage 1's panel
constexpr int kWinnerPanelStep = 308;  // from one stage's panel to the next
constexpr int kWinnerPanelWidth = 284;
constexpr int kWinnerPanelY = 116;
constexpr int kWinnerFirstRowY = 166;
constexpr int kWinnerRowStep = 47;
constexpr int kWinnerMaxRows = kMaxPlayers;
