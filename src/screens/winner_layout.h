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

// One stage alone: its panel in the middle.
constexpr int kWinnerSinglePanelX = (640 - kWinnerPanelWidth) / 2;
// A panel's heading drawn at run time ("FASE" and the digits of the number), centred.
constexpr int kWinnerHeadingY = kWinnerPanelY + 14;

// The small labels of the table and the run-time headings.
constexpr int kWinnerSmallLabelHeight = 24;
constexpr int kWinnerStageWordWidth = 62;  // "FASE" and a space
constexpr int kWinnerDigitWidth = 14;
constexpr int kWinnerSmallPlaceWidth = 20;
constexpr int kWinnerSmallPlayerWidth = 12;
constexpr int kWinnerSmallNobodyWidth = 220;

// The table of three stages or more: one panel over the width of the picture, one line a stage.
constexpr int kWinnerTableX = 24;
constexpr int kWinnerTableWidth = 592;
constexpr int kWinnerTableTop = 116;
constexpr int kWinnerTableBottom = 462;
constexpr int kWinnerTableFirstLineY = 126;
constexpr int kWinnerTableLastLineEnd = 454;
constexpr int kWinnerTableLineStep = 54;  // the most a line takes
constexpr int kWinnerTableStageX = kWinnerTableX + 8;
constexpr int kWinnerTableFirstCellX =
    kWinnerTableStageX + kWinnerStageWordWidth + 2 * kWinnerDigitWidth + 4;
constexpr int kWinnerTableCellStep = 80;  // place, character, player number
