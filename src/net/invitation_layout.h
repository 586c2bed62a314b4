// Where the party's waiting screen (`corrida festa N`) puts its pieces in the 640 x 480 picture,
// and the pictures it is drawn from: the image generator draws them to these measures and the
// waiting screen blits them to these places.
#pragma once

#include <string>

// The panel over the still stage, magenta (transparent) around it; the QR code's light square is
// part of it.
inline const char* const kInvitationPanelPath = "Img/festa/convite.bmp";
// A dark piece: a QR code's dark modules are blitted from it, a row's run of them at a time.
inline const char* const kInvitationDarkPath = "Img/festa/escuro.bmp";
constexpr int kInvitationDarkWidth = 224;
constexpr int kInvitationDarkHeight = 12;
// The glyph sheet: one cell for each character of kInvitationGlyphs, left to right.
inline const char* const kInvitationGlyphsPath = "Img/festa/letras.bmp";
inline const char* const kInvitationGlyphs = "0123456789abcdefghijklmnopqrstuvwxyz.:/-_";
constexpr int kGlyphWidth = 15;
constexpr int kGlyphHeight = 30;

// The QR code's light square, its quiet zone included.
constexpr int kQrLeft = 48;
constexpr int kQrTop = 104;
constexpr int kQrSide = 224;

// The address line, centred under the code and the places.
constexpr int kAddressCentreX = 320;
constexpr int kAddressTop = 342;
// At most this many characters fit the line; a longer address is cut.
constexpr int kAddressMostGlyphs = 38;

// The count line ("2 de 3 jogadores", the plain waiting screen's picture).
constexpr int kInvitationCountX = 300;
constexpr int kInvitationCountY = 212;

// The places: one badge a player, taken (the runner's colour) or free (grey), with its number.
constexpr int kPlaceLeft = 300;
constexpr int kPlaceTop = 270;
constexpr int kPlaceSide = 42;
constexpr int kPlaceStep = 50;

// Badge of player `player` (1 to 6), taken or free.
inline std::string placeBadgePath(int player, bool taken) {
    return "Img/festa/lugar_" + std::to_string(player) + (taken ? "" : "_livre") + ".bmp";
}
