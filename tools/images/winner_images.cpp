// The winner picture shown after stage 2, locally until Enter and to network players for five
// seconds.
#include <cmath>

#include "characters.h"
#include "groups.h"
#include "kit.h"
#include "style.h"

namespace {

void trophy(BITMAP* bmp, double cx, double top) {
    const kit::Rgb gold{250, 196, 40}, shade{200, 140, 20}, ink = style::kInk;
    for (int pass = 0; pass < 2; ++pass) {
        const double g = pass == 0 ? 3 : 0;
        const kit::Rgb c = pass == 0 ? ink : gold;
        kit::fillCapsule(bmp, cx - 46, top + 20, cx - 40, top + 62, 8 + g, c);
        kit::fillCapsule(bmp, cx + 46, top + 20, cx + 40, top + 62, 8 + g, c);
        kit::fillRoundedRect(bmp, cx - 44 - g, top - g, cx + 44 + g, top + 50 + g, 10, c);
        kit::fillCircle(bmp, cx, top + 48, 44 + g, c);
        kit::fillRoundedRect(bmp, cx - 10 - g, top + 86, cx + 10 + g, top + 118, 3, c);
        kit::fillRoundedRect(bmp, cx - 40 - g, top + 116 - g, cx + 40 + g, top + 140 + g, 5,
                             pass == 0 ? ink : shade);
    }
    kit::fillCapsule(bmp, cx - 46, top + 20, cx - 40, top + 62, 3, style::kInk);
    kit::fillCapsule(bmp, cx + 46, top + 20, cx + 40, top + 62, 3, style::kInk);
    kit::fillCapsule(bmp, cx - 22, top + 14, cx - 26, top + 54, 5, kit::kWhite, true, 0.45);
    kit::TextStyle one{"DejaVuSans-Bold.ttf", 40, shade};
    kit::drawText(bmp, "1", cx, top + 62, one, kit::Align::Center);
}

}  // namespace

bool writeWinnerImages(const std::string& imgDir) {
    BITMAP* bg = kit::newCanvas(640, 480, kit::kBlack);
    style::paintBackdrop(bg, 6);
    for (int i = 0; i < 140; ++i) {
        const double x = kit::hashNoise(i, 1, 77) * 640, y = kit::hashNoise(i, 2, 77) * 440;
        const double a = kit::hashNoise(i, 3, 77) * 3.14;
        kit::fillCapsule(bg, x, y, x + 6 * std::cos(a), y + 6 * std::sin(a), 1.8,
                         style::playerColour(i % 6));
    }
    style::paintTitle(bg, "PARABENS!", 320, 104, 78);
    trophy(bg, 320, 150);
    for (int c = 0; c < kCharacterCount; ++c) {
        const int side = c < 3 ? -1 : 1, order = c % 3;
        const double x = 320 + side * (120 + order * 62) - 31,
                     y = 200 + (order % 2) * 50 - (order == 2 ? 30 : 0);
        drawCharacter(bg, c, false, c % 4, x, y, 1.5, false);
    }
    kit::drawText(bg, "As duas fases foram vencidas!", 320, 378, style::headingText(26),
                  kit::Align::Center);
    kit::drawText(bg, "Quem cruzou a chegada leva a taca.", 320, 408,
                  style::bodyText(17, style::kItemText), kit::Align::Center);
    const bool ok = kit::saveJpg(bg, style::menuPath(imgDir, "parabens.jpg"));
    destroy_bitmap(bg);
    return ok;
}
