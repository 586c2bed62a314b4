// The TECLAS screen: its background (the six players' rows, each with its number and colour),
// the marker around the row of the player choosing, and the refusal lines ("tecla ja usada pelo
// jogador N", "tecla reservada") drawn under the rows.
#include <string>

#include "groups.h"
#include "platform/player_limits.h"
#include "platform/window_size.h"
#include "screens/keys_layout.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

int rowTop(int player) { return kKeysFirstRowY + player * kKeysRowStep; }

bool writeBackground(const std::string& imgDir) {
    const BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 4);
    kit::drawText(bg.get(), "TECLAS", 320, 62, style::headingText(40), kit::Align::Center);
    kit::drawText(bg.get(), "cada jogador aperta a tecla que vira a sua gravidade", 320, 86,
                  style::bodyText(14, style::kItemText), kit::Align::Center);
    style::paintPanel(bg.get(), kKeysPanelX - 8, kKeysFirstRowY - 8,
                      kKeysPanelX + kKeysPanelWidth + 8, kKeysMessageY + kKeysMessageHeight + 6);
    for (int p = 0; p < kMaxPlayers; ++p) {
        const int top = rowTop(p), middle = top + kKeysRowHeight / 2;
        kit::fillCircle(bg.get(), kKeysPanelX + 28, middle, 13, style::playerColour(p));
        kit::drawText(bg.get(), std::to_string(p + 1), kKeysPanelX + 28, middle + 6,
                      {"DejaVuSans-Bold.ttf", 16, style::kInk}, kit::Align::Center);
        kit::drawText(bg.get(), "JOGADOR " + std::to_string(p + 1), kKeysPanelX + 54, middle + 8,
                      style::itemText(20, false));
    }
    kit::drawText(bg.get(), "ENTER mantem a tecla  -  ESC volta sem gravar", 320, 428,
                  style::bodyText(14, style::kHighlight), kit::Align::Center);
    kit::drawText(bg.get(), "As teclas ficam gravadas quando o jogador 6 escolher.", 320, 448,
                  style::bodyText(12, {140, 156, 200}), kit::Align::Center);
    return kit::saveJpg(bg.get(), style::menuPath(imgDir, "bg_teclas.jpg"));
}

// A highlighted frame around a row, open inside (the mask colour), with "SUA VEZ" at its right.
bool writeMarker(const std::string& imgDir) {
    const BitmapHandle marker = kit::newCanvas(kKeysPanelWidth, kKeysRowHeight, kit::kMagenta);
    kit::fillRoundedRect(marker.get(), 0, 0, kKeysPanelWidth - 1, kKeysRowHeight - 1, 8,
                         style::kHighlight, false);
    kit::fillRoundedRect(marker.get(), 3, 3, kKeysPanelWidth - 4, kKeysRowHeight - 4, 6,
                         kit::kMagenta, false);
    // The label on a badge of its own: smooth letters on the mask colour would fringe it.
    kit::fillRoundedRect(marker.get(), kKeysPanelWidth - 88, 9, kKeysPanelWidth - 10,
                         kKeysRowHeight - 10, 5, style::kHighlight, false);
    kit::drawText(marker.get(), "SUA VEZ", kKeysPanelWidth - 49, kKeysRowHeight / 2 + 5,
                  {"DejaVuSansCondensed-Bold.ttf", 14, style::kInk}, kit::Align::Center);
    return kit::saveBmp(marker.get(), style::menuPath(imgDir, "teclas_vez.bmp"));
}

bool writeRefusal(const std::string& imgDir, const std::string& file, const std::string& text) {
    const BitmapHandle line = kit::newCanvas(kKeysPanelWidth, kKeysMessageHeight, style::kPanel);
    kit::fillRoundedRect(line.get(), 0, 0, kKeysPanelWidth - 1, kKeysMessageHeight - 1, 7,
                         {196, 52, 52}, false);
    kit::fillRoundedRect(line.get(), 2, 2, kKeysPanelWidth - 3, kKeysMessageHeight - 3, 6,
                         {92, 24, 30}, false);
    kit::drawText(line.get(), text, kKeysPanelWidth / 2, kKeysMessageHeight / 2 + 6,
                  style::bodyText(16), kit::Align::Center);
    return kit::saveBmp(line.get(), style::menuPath(imgDir, file));
}

}  // namespace

bool writeKeysScreenImages(const std::string& imgDir) {
    bool ok = writeBackground(imgDir) && writeMarker(imgDir) &&
              writeRefusal(imgDir, "teclas_reservada.bmp",
                           "Tecla reservada a outra acao do jogo: escolha outra");
    for (int p = 1; ok && p <= kMaxPlayers; ++p) {
        ok = writeRefusal(imgDir, "teclas_usada_" + std::to_string(p) + ".bmp",
                          "Tecla ja usada pelo jogador " + std::to_string(p) + ": escolha outra");
    }
    return ok;
}
