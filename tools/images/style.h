// The shared look of every screen: backdrop, title lettering, panels and the text styles, so that
// the menu, the selection, the information screens and the prompts read as one game.
#pragma once

#include <string>

#include "world/paint_kit.h"

namespace style {

constexpr kit::Rgb kPanel{22, 30, 58};  // flat fill behind every menu item and digit
constexpr kit::Rgb kPanelEdge{92, 120, 190};
constexpr kit::Rgb kItemText{206, 216, 240};
constexpr kit::Rgb kHighlight{255, 206, 58};
constexpr kit::Rgb kTitle{255, 206, 58};
constexpr kit::Rgb kInk{20, 16, 34};

// Player colours of players 1 to 6 (index 0 to 5): cursor frames and key pictures.
kit::Rgb playerColour(int playerIndex);

// Night-blue backdrop with speed streaks and a strip of terrain at the bottom.
void paintBackdrop(BITMAP* bmp, int seed);
// A flat panel with a thin lighter edge; items drawn inside it sit on kPanel exactly.
void paintPanel(BITMAP* bmp, int x1, int y1, int x2, int y2);
// The game's name in large slanted letters, centred at x.
void paintTitle(BITMAP* bmp, const std::string& text, int centreX, int baseline, int pixelSize);

kit::TextStyle itemText(int pixelSize, bool highlighted);
kit::TextStyle bodyText(int pixelSize, kit::Rgb colour = kit::kWhite);
kit::TextStyle headingText(int pixelSize);

std::string menuPath(const std::string& imgDir, const std::string& file);
std::string gamePath(const std::string& imgDir, const std::string& file);
// Where a file the game names from its data folder ("Img/Jogo/...") lands under the output Img/.
std::string dataFilePath(const std::string& imgDir, const std::string& gamePath);

}  // namespace style
