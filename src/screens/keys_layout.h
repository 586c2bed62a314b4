// Where the TECLAS screen's parts stand: shared by the image generator, which paints the rows'
// labels into Img/menu/bg_teclas.jpg, and the screen, which draws each player's key, the marker of
// the one choosing and the refusal over it at run time.
#pragma once

constexpr int kKeysPanelX = 100;  // the panel of the six rows
constexpr int kKeysPanelWidth = 440;
constexpr int kKeysFirstRowY = 100;  // top of player 1's row
constexpr int kKeysRowStep = 44;
constexpr int kKeysRowHeight = 40;
constexpr int kKeysKeyX = 362;  // where a key picture (72 x 13) is drawn in its row
constexpr int kKeysKeyDy = 14;
constexpr int kKeysMessageY = 370;  // the refusal line, under the rows
constexpr int kKeysMessageHeight = 34;
