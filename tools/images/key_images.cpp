// The key pictures drawn above each runner: the flip key of a local player ("X", "M", the right
// arrow, "A", "CTRL", "3") and, for remote players, the player's number. Each is 72 pixels wide so
// that, drawn at the runner's x - 15, the key cap sits centred over the runner; the rest is the
// mask colour.
#include <string>

#include "groups.h"
#include "platform/key_names.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

constexpr int kWidth = 72;
constexpr int kHeight = 13;

bool writeKey(const std::string& imgDir, const std::string& file, const std::string& label,
              bool arrow) {
    const BitmapHandle key = kit::newCanvas(kWidth, kHeight, kit::kMagenta);
    kit::TextStyle text{"DejaVuSansCondensed-Bold.ttf", 11, style::kInk};
    const int labelWidth = arrow ? 12 : kit::textWidth(label, text);
    const int capWidth = labelWidth + 8;
    const int left = (kWidth - capWidth) / 2;
    // Hard edges against the mask; the cap face is opaque so the label itself can be smooth.
    kit::fillRoundedRect(key.get(), left, 0, left + capWidth, kHeight, 3, style::kInk, false);
    kit::fillRoundedRect(key.get(), left + 1, 1, left + capWidth - 1, kHeight - 1, 2,
                         {250, 250, 250}, false);
    kit::fillRect(key.get(), left + 2, kHeight - 3, left + capWidth - 2, kHeight - 2,
                  {200, 204, 214});
    if (arrow) {
        const double cx = kWidth / 2.0, cy = 6.0;
        kit::fillCapsule(key.get(), cx - 4.5, cy, cx + 3.5, cy, 1.0, style::kInk, true);
        kit::fillCapsule(key.get(), cx + 0.5, cy - 3, cx + 3.5, cy, 1.0, style::kInk, true);
        kit::fillCapsule(key.get(), cx + 0.5, cy + 3, cx + 3.5, cy, 1.0, style::kInk, true);
    } else {
        kit::drawText(key.get(), label, kWidth / 2, 10, text, kit::Align::Center);
    }
    return kit::saveBmp(key.get(), style::gamePath(imgDir, file));
}

// A pad's outline (a rounded body with two grips) with its number on the face.
bool writePad(const std::string& imgDir, int number) {
    const BitmapHandle pad = kit::newCanvas(kWidth, kHeight, kit::kMagenta);
    kit::TextStyle text{"DejaVuSansCondensed-Bold.ttf", 10, style::kInk};
    const int left = kWidth / 2 - 14, right = kWidth / 2 + 14;
    kit::fillRoundedRect(pad.get(), left, 0, right, kHeight - 2, 4, style::kInk, false);
    kit::fillRoundedRect(pad.get(), left - 3, 4, left + 7, kHeight, 3, style::kInk, false);
    kit::fillRoundedRect(pad.get(), right - 7, 4, right + 3, kHeight, 3, style::kInk, false);
    kit::fillRoundedRect(pad.get(), left + 1, 1, right - 1, kHeight - 3, 3, {250, 250, 250}, false);
    kit::fillRect(pad.get(), left + 3, 5, left + 8, 6, style::kInk);  // the cross
    kit::fillRect(pad.get(), left + 5, 3, left + 6, 8, style::kInk);
    kit::drawText(pad.get(), std::to_string(number), kWidth / 2 + 5, 10, text, kit::Align::Center);
    return kit::saveBmp(pad.get(),
                        style::gamePath(imgDir, "Controle/" + std::to_string(number) + ".bmp"));
}

}  // namespace

bool writeKeyImages(const std::string& imgDir) {
    bool ok = writeKey(imgDir, "X.bmp", "X", false) && writeKey(imgDir, "M.bmp", "M", false) &&
              writeKey(imgDir, "R.bmp", "", true) && writeKey(imgDir, "A.bmp", "A", false) &&
              writeKey(imgDir, "CTRL.bmp", "CTRL", false);
    // "3.bmp" is both player 6's key and player 3's number: the picture of the digit serves both.
    for (int n = 1; n <= 6 && ok; ++n)
        ok = writeKey(imgDir, std::to_string(n) + ".bmp", std::to_string(n), false);
    // Every key a player may choose (teclas.conf), under its own name.
    for (const ChoosableKey& entry : kChoosableKeys) {
        if (!ok) break;
        const std::string label = entry.label;
        const bool arrow = label == ">";
        ok = writeKey(imgDir, std::string("Teclas/") + entry.name + ".bmp", label, arrow);
    }
    // A gamepad and its number, for the runner of a player who plays with a pad.
    for (int n = 1; n <= 6 && ok; ++n) ok = writePad(imgDir, n);
    return ok;
}
