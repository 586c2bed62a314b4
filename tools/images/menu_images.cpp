// The main menu: its background and the 24 item pictures (normal and highlighted). Items are
// blitted over the background at fixed places, so each is drawn on the panel's flat colour that
// surrounds it there.
#include <algorithm>
#include <string>
#include <vector>

#include "characters.h"
#include "groups.h"
#include "platform/window_size.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

struct Item {
    std::string file;  // without "_2.jpg" / ".jpg"
    std::string label;
    int x, y, w, h;
    bool centred;
};

const std::vector<Item>& items() {
    static const std::vector<Item> list = {
        {"chooseplayer", "JOGADORES", 131, 294, 153, 34, false},
        {"img1", "1", 304, 294, 13, 33, true},
        {"img2", "2", 333, 294, 19, 33, true},
        {"img3", "3", 369, 294, 20, 33, true},
        {"img4", "4", 404, 294, 19, 33, true},
        {"img5", "5", 438, 294, 19, 33, true},
        {"img6", "6", 472, 294, 20, 33, true},
        {"integrantes", "CREDITOS", 130, 340, 122, 33, false},
        {"instrucoes", "INSTRUCOES", 130, 383, 114, 33, false},
        {"sairdojogo", "SAIR DO JOGO", 130, 425, 133, 33, false},
        {"teclas", "TECLAS", 330, 340, 90, 33, false},
        {"fases", "FASES", 330, 383, 90, 33, false},
    };
    return list;
}

// One letter size for all worded items: the largest at which every one of them fits its width.
int wordedItemSize() {
    int size = 22;
    for (const Item& item : items())
        if (!item.centred)
            size = std::min(size, kit::fitSize(item.label, style::itemText(22, false), item.w - 2));
    return size;
}

void drawItem(BITMAP* target, const Item& item, int left, int top, bool highlighted) {
    kit::fillRect(target, left, top, left + item.w - 1, top + item.h - 1, style::kPanel);
    kit::TextStyle text = style::itemText(item.centred ? 26 : wordedItemSize(), highlighted);
    // Digits keep one size: their ink is narrower than their advance, so even "1" fits its 13
    // pixels.
    if (!item.centred) text.pixelSize = kit::fitSize(item.label, text, item.w - 2);
    const int baseline = top + 24;
    if (item.centred)
        kit::drawText(target, item.label, left + item.w / 2, baseline, text, kit::Align::Center);
    else
        kit::drawText(target, item.label, left + 1, baseline, text, kit::Align::Left);
    if (highlighted) {
        const int width = std::min(item.w - 2, kit::textWidth(item.label, text));
        const int x1 = item.centred ? left + (item.w - width) / 2 : left + 1;
        kit::fillRect(target, x1, top + item.h - 6, x1 + width - 1, top + item.h - 4,
                      style::kHighlight);
    }
}

bool saveItem(const std::string& imgDir, const Item& item, bool highlighted) {
    const BitmapHandle picture = kit::newCanvas(item.w, item.h, style::kPanel);
    drawItem(picture.get(), item, 0, 0, highlighted);
    return kit::saveJpg(picture.get(),
                        style::menuPath(imgDir, item.file + (highlighted ? "_2.jpg" : ".jpg")));
}

}  // namespace

bool writeMenuImages(const std::string& imgDir) {
    const BitmapHandle menu = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(menu.get(), 1);
    style::paintTitle(menu.get(), "CORRIDA", 320, 118, 92);
    kit::drawText(menu.get(), "vire a gravidade e chegue primeiro", 320, 158,
                  style::bodyText(19, style::kItemText), kit::Align::Center);
    for (int c = 0; c < kMaxPlayers; ++c)
        drawCharacter(menu.get(), c, c % 2 == 0, c % 2 == 0 ? c % 5 : c % 4, 82 + c * 82, 180, 1.55,
                      false);
    style::paintPanel(menu.get(), 108, 280, 532, 468);
    for (const Item& item : items()) drawItem(menu.get(), item, item.x, item.y, false);
    kit::drawText(menu.get(), "SETAS escolhem  -  ENTER confirma", 512, 462,
                  style::bodyText(11, {140, 156, 200}), kit::Align::Right);
    bool ok = kit::saveJpg(menu.get(), style::menuPath(imgDir, "menu.jpg"));
    for (const Item& item : items())
        ok = ok && saveItem(imgDir, item, false) && saveItem(imgDir, item, true);
    return ok;
}
