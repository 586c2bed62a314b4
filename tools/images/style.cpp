#include "style.h"

#include <cmath>

namespace style {

kit::Rgb playerColour(int playerIndex) {
    static const kit::Rgb colours[6] = {{236, 64, 52},  {52, 122, 238}, {62, 192, 82},
                                        {246, 202, 40}, {246, 132, 30}, {40, 202, 212}};
    return colours[playerIndex % 6];
}

void paintBackdrop(BITMAP* bmp, int seed) {
    kit::verticalGradient(bmp, 0, 0, bmp->w - 1, bmp->h - 1, {14, 20, 52}, {44, 30, 84});
    // Stars.
    for (int y = 0; y < bmp->h * 2 / 3; ++y)
        for (int x = 0; x < bmp->w; ++x)
            if (kit::hashNoise(x, y, seed) > 0.9985)
                kit::blendPixel(bmp, x, y, kit::kWhite, 0.5 + 0.5 * kit::hashNoise(y, x, seed));
    // Speed streaks.
    for (int i = 0; i < 18; ++i) {
        const double y = 40 + kit::hashNoise(i, 1, seed) * (bmp->h - 120);
        const double x = kit::hashNoise(i, 2, seed) * bmp->w;
        const double len = 60 + kit::hashNoise(i, 3, seed) * 160;
        kit::fillCapsule(bmp, x, y, x + len, y, 1.2, {120, 150, 230}, true, 0.25);
    }
    // Terrain strip along the bottom, like the stages' floor.
    const int top = bmp->h - 22;
    for (int y = top; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            const double n = kit::valueNoise(x, y, 6, seed + 7);
            kit::Rgb stone = kit::mix({70, 64, 60}, {104, 96, 88}, n);
            if (y < top + 5) stone = kit::mix({60, 150, 56}, {86, 180, 70}, n);
            if (y == top) stone = {26, 22, 20};
            kit::putRgb(bmp, x, y, stone);
        }
}

void paintPanel(BITMAP* bmp, int x1, int y1, int x2, int y2) {
    kit::fillRoundedRect(bmp, x1 + 4, y1 + 6, x2 + 4, y2 + 6, 14, {6, 6, 16}, true, 0.45);
    kit::fillRoundedRect(bmp, x1, y1, x2, y2, 14, kPanelEdge);
    kit::fillRoundedRect(bmp, x1 + 2, y1 + 2, x2 - 2, y2 - 2, 12, kPanel);
}

void paintTitle(BITMAP* bmp, const std::string& text, int centreX, int baseline, int pixelSize) {
    kit::TextStyle outline{"DejaVuSans-BoldOblique.ttf", pixelSize, kInk};
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (dx * dx + dy * dy <= 10)
                kit::drawText(bmp, text, centreX + dx, baseline + dy + 2, outline,
                              kit::Align::Center);
    kit::TextStyle face{"DejaVuSans-BoldOblique.ttf", pixelSize, {255, 150, 40}};
    kit::drawText(bmp, text, centreX, baseline, face, kit::Align::Center);
    // A lighter upper half gives the lettering some depth.
    const BitmapHandle top = kit::newCanvas(bmp->w, bmp->h, kit::kBlack);
    face.colour = kTitle;
    kit::drawText(top.get(), text, centreX, baseline - 1, face, kit::Align::Center);
    const int cut = baseline - pixelSize * 2 / 5;
    for (int y = std::max(0, baseline - pixelSize); y < cut; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            const kit::Rgb p = kit::pixelAt(top.get(), x, y);
            const double a = p.r / 255.0;
            if (a > 0) kit::blendPixel(bmp, x, y, kTitle, a);
        }
}

kit::TextStyle itemText(int pixelSize, bool highlighted) {
    return {"DejaVuSansCondensed-Bold.ttf", pixelSize, highlighted ? kHighlight : kItemText};
}

kit::TextStyle bodyText(int pixelSize, kit::Rgb colour) {
    return {"DejaVuSans.ttf", pixelSize, colour};
}

kit::TextStyle headingText(int pixelSize) {
    kit::TextStyle s{"DejaVuSans-Bold.ttf", pixelSize, kTitle};
    s.shadow = true;
    s.shadowColour = kInk;
    return s;
}

std::string menuPath(const std::string& imgDir, const std::string& file) {
    return imgDir + "/menu/" + file;
}
std::string gamePath(const std::string& imgDir, const std::string& file) {
    return imgDir + "/Jogo/" + file;
}
std::string dataFilePath(const std::string& imgDir, const std::string& gamePath) {
    const std::string folder = "Img/";
    return imgDir + "/" +
           (gamePath.compare(0, folder.size(), folder) == 0 ? gamePath.substr(folder.size())
                                                            : gamePath);
}

}  // namespace style
