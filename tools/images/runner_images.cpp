// The runners' sprite sheets, the countdown strip and the one-pixel mask image of invisible
// objects.
#include <string>

#include "characters.h"
#include "groups.h"
#include "style.h"
#include "world/paint_kit.h"
#include "world/runner_sprites.h"

namespace {

bool writeCountdown(const std::string& imgDir) {
    // Five 100 x 100 cells, 1 2 3 4 5 from the left, on the mask colour: the countdown shows the
    // cells from x = 400 down to x = 0, so it reads 5, 4, 3, 2, 1. The badge edge is hard so that
    // no pink fringe appears; inside it the digit is anti-aliased over the badge.
    const BitmapHandle strip = kit::newCanvas(500, 100, kit::kMagenta);
    for (int cell = 0; cell < 5; ++cell) {
        const int cx = cell * 100 + 50;
        const kit::Rgb colour = style::playerColour(cell);
        kit::fillCircle(strip.get(), cx, 50, 47, style::kInk, false);
        kit::fillCircle(strip.get(), cx, 50, 43, colour, false);
        kit::fillCircle(strip.get(), cx - 6, 44, 32, kit::mix(colour, kit::kWhite, 0.25), true,
                        0.6);
        kit::TextStyle digit{"DejaVuSans-Bold.ttf", 66, kit::kWhite};
        digit.shadow = true;
        digit.shadowColour = style::kInk;
        kit::drawText(strip.get(), std::to_string(cell + 1), cx, 74, digit, kit::Align::Center);
    }
    return kit::saveBmp(strip.get(), style::gamePath(imgDir, "54321.bmp"));
}

}  // namespace

bool writeRunnerImages(const std::string& imgDir) {
    for (int c = 0; c < kMaxPlayers; ++c) {
        const BitmapHandle sheet = makeSpriteSheet(c);
        const bool ok =
            kit::saveBmp(sheet.get(), style::dataFilePath(imgDir, kRunnerSpritePaths[c]));
        if (!ok) return false;
    }
    const BitmapHandle pixel = kit::newCanvas(1, 1, kit::kMagenta);
    const bool ok = kit::saveBmp(pixel.get(), style::gamePath(imgDir, "pixelTransparente.bmp"));
    return ok && writeCountdown(imgDir);
}
