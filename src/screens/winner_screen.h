// The winner picture: the title over the stages of the match, each listing the runners that crossed
// its finish line in order of arrival with their place, their character (the first frame of their
// sprite sheet) and their player number; a stage nobody crossed (won with F10) says so.
//
// Its layout follows the match:
// - stage 1 then stage 2 (every match without a choice of stages): two panels headed "FASE 1" and
//   "FASE 2" in the picture itself, exactly as it has always been;
// - one or two other stages: the same panels (one in the middle for one stage), headed by the
//   stage's number, drawn from the digit labels;
// - three stages or more: one line per stage, "FASE N" and then its arrivals side by side with the
//   small labels; from seven stages on the lines are lower and show the top of each character.
//
// Drawn with the six drawing kinds under the screen's own bitmap names, so a server's clients get
// the same picture. Every bitmap it loads or creates is released again before the flush: the
// picture stays on the window until the next screen draws.
#pragma once

#include <string>
#include <vector>

// One stage of a match as the winner picture shows it: its number in the stage list, and the
// player numbers (1 to 6) in order of arrival at its finish line.
struct StageArrivals {
    int stage = 0;
    std::vector<int> players;
};
using MatchArrivals = std::vector<StageArrivals>;

// Draws and flushes the picture. `runnerImages[k]` is the sprite sheet of player k + 1; a player
// number without one is left out.
void drawWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages);

// Whether `arrivals` is the match of stage 1 then stage 2, drawn as it has always been.
bool isClassicMatch(const MatchArrivals& arrivals);

// Where row `place` (0 for the first) of panel `panel` (0 or 1) of a match of `stageCount` stages
// (1 or 2) starts; the labels and the character are drawn from there.
struct WinnerRow {
    int x, y;
};
WinnerRow winnerRow(int panel, int place, int stageCount = 2);
constexpr int kWinnerPlaceOffsetX = 12;
constexpr int kWinnerRunnerOffsetX = 64;
constexpr int kWinnerPlayerOffsetX = 116;
constexpr int kWinnerLabelOffsetY = 6;

// The table of three stages or more: where line `line` (0 for the first stage) of `stageCount`
// starts, how high it is, and where its arrival `place` starts.
struct WinnerLine {
    int y;
    int height;
    int runnerHeight;  // how much of the character, from its top, fits in the line
};
WinnerLine winnerLine(int line, int stageCount);
int winnerCellX(int place);
