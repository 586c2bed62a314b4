// The player selection: background, column frames, the six players' cursor frames and the twelve
// portraits (free and taken) of the six characters, drawn from the same figures as the sprite
// sheets.
#include <string>

#include "characters.h"
#include "groups.h"
#include "platform/window_size.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

bool saveFrame(const std::string& imgDir, const std::string& file, kit::Rgb colour,
               double thickness) {
    const BitmapHandle frame = kit::newCanvas(80, 80, style::kPanel);
    kit::strokeRoundedRect(frame.get(), 0, 0, 80, 80, 8, thickness, colour);
    return kit::saveJpg(frame.get(), style::menuPath(imgDir, file));
}

BitmapHandle portrait(int character) {
    BitmapHandle card = kit::newCanvas(70, 70, kit::kBlack);
    const kit::Rgb colour = characterColour(character);
    kit::verticalGradient(card.get(), 0, 0, 69, 69, kit::mix(colour, kit::kWhite, 0.45),
                          kit::mix(colour, style::kInk, 0.55));
    kit::fillCircle(card.get(), 35, 30, 26, kit::kWhite, true, 0.18);
    drawCharacter(card.get(), character, true, 0, 35 - 24.5 * 2.3, 7.5, 2.3, false);
    return card;
}

void markTaken(BITMAP* card) {
    for (int y = 0; y < card->h; ++y)
        for (int x = 0; x < card->w; ++x) {
            const kit::Rgb p = kit::pixelAt(card, x, y);
            const int grey = (p.r * 30 + p.g * 59 + p.b * 11) / 100;
            kit::putRgb(card, x, y, kit::scale({grey, grey, grey}, 0.45));
        }
    kit::fillRect(card, 0, 50, 69, 65, {190, 36, 36});
    kit::TextStyle text{"DejaVuSansCondensed-Bold.ttf", 12, kit::kWhite};
    kit::drawText(card, "ESCOLHIDO", 35, 62, text, kit::Align::Center);
}

}  // namespace

bool writeSelectionImages(const std::string& imgDir) {
    const BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 2);
    kit::drawText(bg.get(), "ESCOLHA SEU CORREDOR", 320, 62, style::headingText(34),
                  kit::Align::Center);
    kit::drawText(bg.get(), "cada jogador escolhe um personagem diferente", 320, 92,
                  style::bodyText(16, style::kItemText), kit::Align::Center);
    for (int c = 0; c < kMaxPlayers; ++c) {
        const int column = 67 + 85 * c;
        kit::fillCircle(bg.get(), column + 40, 236, 34, {80, 100, 170}, true, 0.25);
        drawCharacter(bg.get(), c, true, c % 5, column + 40 - 21 * 1.7, 172, 1.7, false);
        kit::drawText(bg.get(), characterName(c), column + 40, 274,
                      style::bodyText(14, kit::kWhite), kit::Align::Center);
    }
    style::paintPanel(bg.get(), 52, 284, 588, 434);
    kit::drawText(bg.get(), "VEZ DO JOGADOR", 248, 320, style::itemText(20, false),
                  kit::Align::Right);
    kit::drawText(bg.get(), "SETAS movem  -  ENTER escolhe  -  ESC volta ao menu", 320, 452,
                  style::bodyText(14, style::kItemText), kit::Align::Center);
    bool ok = kit::saveJpg(bg.get(), style::menuPath(imgDir, "bg_selecao.jpg"));

    ok = ok && saveFrame(imgDir, "sel_0.jpg", style::kPanelEdge, 3);
    for (int p = 0; p < 6 && ok; ++p)
        ok = saveFrame(imgDir, "sel_" + std::to_string(p + 1) + ".jpg", style::playerColour(p), 5);
    for (int c = 0; c < kMaxPlayers && ok; ++c) {
        const BitmapHandle card = portrait(c);
        ok = kit::saveJpg(card.get(),
                          style::menuPath(imgDir, "sel_j" + std::to_string(c + 1) + ".jpg"));
        markTaken(card.get());
        ok =
            ok && kit::saveJpg(card.get(),
                               style::menuPath(imgDir, "sel_j" + std::to_string(c + 1) + "_2.jpg"));
    }
    return ok;
}
