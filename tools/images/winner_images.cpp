// The winner picture shown after the last stage, locally until Enter and to network players for
// five seconds: a title and empty result panels, and the labels the winner screen draws into them
// (places, player numbers, "nobody", the stages' numbers). The match of stage 1 then stage 2 has
// its headed panels in parabens.jpg; other matches have one or two panels without headings
// (parabens_paineis_N.jpg) or, from three stages on, one panel for a table of lines
// (parabens_tabela.jpg), with the small labels.
#include <cmath>

#include "characters.h"
#include "groups.h"
#include "platform/window_size.h"
#include "screens/winner_layout.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

constexpr int kWinnerLabelHeight = 36;
constexpr int kWinnerPlaceWidth = 44;
constexpr int kWinnerPlayerWidth = 150;
constexpr int kWinnerNobodyWidth = 260;

void trophyAt(BITMAP* bmp, double cx, double top) {
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

void trophy(BITMAP* bmp, double centre, double top, double size) {
    // Drawn at full size into its own canvas, then shrunk onto the picture.
    const BitmapHandle full = kit::newCanvas(140, 150, kit::kMagenta);
    trophyAt(full.get(), 70, 4);
    const int w = static_cast<int>(140 * size), h = static_cast<int>(150 * size);
    masked_stretch_blit(full.get(), bmp, 0, 0, 140, 150, static_cast<int>(centre - w / 2.0),
                        static_cast<int>(top), w, h);
}

// The labels drawn over the two result panels at run time.
bool writeLabel(const std::string& imgDir, const std::string& file, const std::string& text,
                int width, kit::TextStyle textStyle, kit::Align align,
                int height = kWinnerLabelHeight) {
    const BitmapHandle label = kit::newCanvas(width, height, style::kPanel);
    const int x = align == kit::Align::Center ? width / 2 : 2;
    kit::drawText(label.get(), text, x, height == kWinnerLabelHeight ? 26 : 18, textStyle, align);
    // The untouched background becomes the mask colour, so that only the letters (smoothed over
    // the panel's colour) cover the picture, whose JPEG panel is close to but not exactly flat.
    const int panel = kit::toAllegro(style::kPanel), mask = kit::toAllegro(kit::kMagenta);
    for (int y = 0; y < label->h; ++y)
        for (int column = 0; column < label->w; ++column)
            if (getpixel(label.get(), column, y) == panel) putpixel(label.get(), column, y, mask);
    return kit::saveBmp(label.get(), style::menuPath(imgDir, file));
}

bool writeSmallLabel(const std::string& imgDir, const std::string& file, const std::string& text,
                     int width, kit::TextStyle textStyle) {
    return writeLabel(imgDir, file, text, width, textStyle, kit::Align::Center,
                      kWinnerSmallLabelHeight);
}

// The title, the trophies and the line under the title: every winner picture's top.
BitmapHandle winnerBackdrop() {
    BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 6);
    for (int i = 0; i < 140; ++i) {
        const double x = kit::hashNoise(i, 1, 77) * kWindowWidth,
                     y = kit::hashNoise(i, 2, 77) * 110;
        const double a = kit::hashNoise(i, 3, 77) * 3.14;
        kit::fillCapsule(bg.get(), x, y, x + 6 * std::cos(a), y + 6 * std::sin(a), 1.8,
                         style::playerColour(i % kMaxPlayers));
    }
    style::paintTitle(bg.get(), "PARABENS!", 320, 74, 60);
    trophy(bg.get(), 62, 18, 0.42);
    trophy(bg.get(), 578, 18, 0.42);
    kit::drawText(bg.get(), "Quem cruzou a chegada, na ordem", 320, 104,
                  style::bodyText(16, style::kItemText), kit::Align::Center);
    return bg;
}

// The pictures of the matches other than stage 1 then stage 2, and their small labels.
bool writeChosenStagesImages(const std::string& imgDir) {
    bool ok = true;
    for (int count = 1; ok && count <= 2; ++count) {
        const BitmapHandle bg = winnerBackdrop();
        for (int panel = 0; panel < count; ++panel) {
            const int x1 =
                count == 1 ? kWinnerSinglePanelX : kWinnerPanelX + panel * kWinnerPanelStep;
            style::paintPanel(bg.get(), x1, kWinnerPanelY, x1 + kWinnerPanelWidth, 462);
        }
        ok = kit::saveJpg(bg.get(), style::menuPath(imgDir, "parabens_paineis_" +
                                                                std::to_string(count) + ".jpg"));
    }
    const BitmapHandle table = winnerBackdrop();
    style::paintPanel(table.get(), kWinnerTableX, kWinnerTableTop,
                      kWinnerTableX + kWinnerTableWidth, kWinnerTableBottom);
    ok = ok && kit::saveJpg(table.get(), style::menuPath(imgDir, "parabens_tabela.jpg"));
    const kit::TextStyle heading = style::headingText(20);
    ok = ok && writeLabel(imgDir, "fase_rotulo.bmp", "FASE", kWinnerStageWordWidth, heading,
                          kit::Align::Left, kWinnerSmallLabelHeight);
    for (int digit = 0; ok && digit <= 9; ++digit) {
        ok = writeSmallLabel(imgDir, "algarismo_" + std::to_string(digit) + ".bmp",
                             std::to_string(digit), kWinnerDigitWidth, heading);
    }
    for (int k = 1; ok && k <= kMaxPlayers; ++k) {
        ok = writeSmallLabel(imgDir, "lugar_pequeno_" + std::to_string(k) + ".bmp",
                             std::to_string(k) + ".", kWinnerSmallPlaceWidth,
                             style::itemText(18, k == 1)) &&
             writeSmallLabel(imgDir, "jogador_pequeno_" + std::to_string(k) + ".bmp",
                             std::to_string(k), kWinnerSmallPlayerWidth,
                             {"DejaVuSans-Bold.ttf", 18, style::playerColour(k - 1)});
    }
    return ok && writeLabel(imgDir, "ninguem_pequeno.bmp", "ninguem cruzou a chegada",
                            kWinnerSmallNobodyWidth, style::bodyText(15, style::kItemText),
                            kit::Align::Left, kWinnerSmallLabelHeight);
}

}  // namespace

bool writeWinnerImages(const std::string& imgDir) {
    const BitmapHandle bg = winnerBackdrop();
    for (int stage = 0; stage < 2; ++stage) {
        const int x1 = kWinnerPanelX + stage * kWinnerPanelStep;
        style::paintPanel(bg.get(), x1, kWinnerPanelY, x1 + kWinnerPanelWidth, 462);
        kit::drawText(bg.get(), "FASE " + std::to_string(stage + 1), x1 + kWinnerPanelWidth / 2,
                      kWinnerPanelY + 32, style::headingText(24), kit::Align::Center);
    }
    bool ok = kit::saveJpg(bg.get(), style::menuPath(imgDir, "parabens.jpg"));
    for (int k = 1; ok && k <= kMaxPlayers; ++k) {
        ok = writeLabel(imgDir, "lugar_" + std::to_string(k) + ".bmp", std::to_string(k) + ".",
                        kWinnerPlaceWidth, style::itemText(24, k == 1), kit::Align::Center) &&
             writeLabel(imgDir, "jogador_" + std::to_string(k) + ".bmp",
                        "Jogador " + std::to_string(k), kWinnerPlayerWidth,
                        {"DejaVuSans-Bold.ttf", 22, style::playerColour(k - 1)}, kit::Align::Left);
    }
    return ok &&
           writeLabel(imgDir, "ninguem.bmp", "ninguem cruzou a chegada", kWinnerNobodyWidth,
                      style::bodyText(16, style::kItemText), kit::Align::Center) &&
           writeChosenStagesImages(imgDir);
}
