// The party's waiting screen (`corrida festa N`): its panel with the QR code's light square, the
// dark piece the code's modules are blitted from, the glyph sheet the address is written with and
// the places' badges (net/invitation_layout.h).
#include <cstring>

#include "characters.h"
#include "groups.h"
#include "net/invitation_layout.h"
#include "platform/window_size.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

std::string partyPath(const std::string& imgDir, const std::string& gamePath) {
    return style::dataFilePath(imgDir, gamePath);
}

bool writePanel(const std::string& imgDir) {
    const BitmapHandle bmp = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kMagenta);
    kit::fillRoundedRect(bmp.get(), 24, 24, 615, 455, 16, style::kInk, false);
    kit::fillRoundedRect(bmp.get(), 27, 27, 612, 452, 13, style::kPanelEdge, false);
    kit::fillRoundedRect(bmp.get(), 30, 30, 609, 449, 10, style::kPanel, true);
    kit::drawText(bmp.get(), "AGUARDANDO", 320, 76, style::headingText(38), kit::Align::Center);
    kit::fillRect(bmp.get(), kQrLeft, kQrTop, kQrLeft + kQrSide - 1, kQrTop + kQrSide - 1,
                  kit::kWhite);
    const kit::TextStyle body = style::bodyText(17);
    kit::drawText(bmp.get(), "Jogue pelo celular:", 300, 126, body);
    kit::drawText(bmp.get(), "aponte a camera para o", 300, 150, body);
    kit::drawText(bmp.get(), "codigo, ou abra o endereco.", 300, 174, body);
    kit::drawText(bmp.get(), "Um toque vira a gravidade.", 300, 198,
                  style::bodyText(14, style::kItemText));
    kit::drawText(bmp.get(), "A largada comeca quando todos estiverem aqui. Esc encerra.", 320, 420,
                  style::bodyText(13, style::kItemText), kit::Align::Center);
    return kit::saveBmp(bmp.get(), partyPath(imgDir, kInvitationPanelPath));
}

bool writeDarkPiece(const std::string& imgDir) {
    const BitmapHandle bmp =
        kit::newCanvas(kInvitationDarkWidth, kInvitationDarkHeight, kit::kBlack);
    return kit::saveBmp(bmp.get(), partyPath(imgDir, kInvitationDarkPath));
}

bool writeGlyphs(const std::string& imgDir) {
    const int count = static_cast<int>(std::strlen(kInvitationGlyphs));
    const BitmapHandle bmp = kit::newCanvas(count * kGlyphWidth, kGlyphHeight, style::kPanel);
    kit::TextStyle text = style::bodyText(24, kit::kWhite);
    text.fontFile = "DejaVuSansMono-Bold.ttf";
    for (int i = 0; i < count; ++i) {
        kit::drawText(bmp.get(), std::string(1, kInvitationGlyphs[i]),
                      i * kGlyphWidth + kGlyphWidth / 2, 23, text, kit::Align::Center);
    }
    return kit::saveBmp(bmp.get(), partyPath(imgDir, kInvitationGlyphsPath));
}

bool writeBadges(const std::string& imgDir) {
    bool ok = true;
    for (int player = 1; ok && player <= kMaxPlayers; ++player) {
        for (const bool taken : {true, false}) {
            const BitmapHandle bmp = kit::newCanvas(kPlaceSide, kPlaceSide, style::kPanel);
            const kit::Rgb colour = characterColour(player - 1);
            if (taken) {
                kit::fillRoundedRect(bmp.get(), 1, 1, kPlaceSide - 2, kPlaceSide - 2, 8, colour);
            } else {
                kit::strokeRoundedRect(bmp.get(), 1, 1, kPlaceSide - 2, kPlaceSide - 2, 8, 3,
                                       {96, 104, 128});
            }
            kit::TextStyle number = style::headingText(26);
            number.colour = taken ? kit::kWhite : kit::Rgb{120, 128, 150};
            number.shadow = taken;
            kit::drawText(bmp.get(), std::to_string(player), kPlaceSide / 2, 31, number,
                          kit::Align::Center);
            ok = kit::saveBmp(bmp.get(), partyPath(imgDir, placeBadgePath(player, taken)));
        }
    }
    return ok;
}

}  // namespace

bool writePartyImages(const std::string& imgDir) {
    return writePanel(imgDir) && writeDarkPiece(imgDir) && writeGlyphs(imgDir) &&
           writeBadges(imgDir);
}
