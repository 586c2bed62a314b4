// The winner picture: the title over two panels, one per stage, each listing the runners that
// crossed the finish line in order of arrival with their place, their character (the first frame
// of their sprite sheet) and their player number; a stage nobody crossed (won with F10) says so.
//
// Drawn with the six drawing kinds under the screen's own bitmap names, so a server's clients get
// the same picture. Every bitmap it loads or creates is released again before the flush: the
// picture stays on the window until the next screen draws.
#pragma once

#include <array>
#include <string>
#include <vector>

// For stage 1 and stage 2, the player numbers (1 to 6) in order of arrival.
using MatchArrivals = std::array<std::vector<int>, 2>;

// Draws and flushes the picture. `runnerImages[k]` is the sprite sheet of player k + 1; a player
// number without one is left out.
void drawWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages);

// Where row `place` (0 for the first) of stage `stage` (0 or 1) starts; the labels and the
// character are drawn from there.
struct WinnerRow {
    int x, y;
};
WinnerRow winnerRow(int stage, int place);
constexpr int kWinnerPlaceOffsetX = 12;
constexpr int kWinnerRunnerOffsetX = 64;
constexpr int kWinnerPlayerOffsetX = 116;
constexpr int kWinnerLabelOffsetY = 6;
