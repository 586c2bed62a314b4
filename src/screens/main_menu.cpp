#include "screens/main_menu.h"

#include <allegro.h>

#include <array>
#include <utility>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/player_limits.h"
#include "platform/sound_player.h"
#include "platform/window_size.h"
#include "screens/info_screens.h"
#include "screens/keys_screen.h"
#include "screens/screen_image.h"
#include "screens/stages_screen.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/own_stages.h"

namespace {

constexpr int kCreditsItem = 7;
constexpr int kInstructionsItem = 8;
constexpr int kLeaveItem = 9;
constexpr int kKeysItem = 10;    // right of the credits
constexpr int kStagesItem = 11;  // right of the instructions
constexpr int kItemCount = 11;
constexpr int kFrameMs = 60;

struct MenuPicture {
    const char* name;
    const char* path;
    const char* highlightName;  // null for the background
    const char* highlightPath;
    int x, y, width, height;
};

const MenuPicture kBackground{"menu", "Img/menu/menu.jpg", nullptr,      nullptr, 0,
                              0,      kWindowWidth,        kWindowHeight};
const MenuPicture kPlayersLabel{"chooseplayer",
                                "Img/menu/chooseplayer.jpg",
                                "chooseplayer_2",
                                "Img/menu/chooseplayer_2.jpg",
                                131,
                                294,
                                153,
                                34};
// Items 1 to 10, in item order.
const std::array<MenuPicture, kItemCount> kItems{{
    {"img1_menu", "Img/menu/img1.jpg", "img1_2", "Img/menu/img1_2.jpg", 304, 294, 13, 33},
    {"img2_menu", "Img/menu/img2.jpg", "img2_2", "Img/menu/img2_2.jpg", 333, 294, 19, 33},
    {"img3_menu", "Img/menu/img3.jpg", "img3_2", "Img/menu/img3_2.jpg", 369, 294, 20, 33},
    {"img4_menu", "Img/menu/img4.jpg", "img4_2", "Img/menu/img4_2.jpg", 404, 294, 19, 33},
    {"img5_menu", "Img/menu/img5.jpg", "img5_2", "Img/menu/img5_2.jpg", 438, 294, 19, 33},
    {"img6_menu", "Img/menu/img6.jpg", "img6_2", "Img/menu/img6_2.jpg", 472, 294, 20, 33},
    {"integrantes", "Img/menu/integrantes.jpg", "integrantes_2", "Img/menu/integrantes_2.jpg", 130,
     340, 122, 33},
    {"instrucoes", "Img/menu/instrucoes.jpg", "instrucoes_2", "Img/menu/instrucoes_2.jpg", 130, 383,
     114, 33},
    {"sairdojogo", "Img/menu/sairdojogo.jpg", "sairdojogo_2", "Img/menu/sairdojogo_2.jpg", 130, 425,
     133, 33},
    {"teclas", "Img/menu/teclas.jpg", "teclas_2", "Img/menu/teclas_2.jpg", 330, 340, 90, 33},
    {"fases", "Img/menu/fases.jpg", "fases_2", "Img/menu/fases_2.jpg", 330, 383, 90, 33},
}};

// One loaded picture with the name it is known by to the recorder.
struct Loaded {
    const char* name;
    BitmapHandle bitmap;
};

struct MenuBitmaps {
    // In load order: background, label normal and highlighted, items 1-6 normal, items 1-6
    // highlighted, item 8 both forms, item 7 both forms, item 9 both forms, item 10 both forms,
    // item 11 both forms.
    std::array<Loaded, 25> pictures{};
    Loaded buffer{"buffer_menu", nullptr};
    // Indexes into `pictures`.
    int labelNormal = 1, labelHighlight = 2;
    std::array<int, kItemCount> itemNormal{}, itemHighlight{};
};

MenuBitmaps loadMenu() {
    MenuBitmaps menu;
    int next = 0;
    auto load = [&](const char* name, const char* path) {
        menu.pictures[next] = {name, loadScreenImage(name, path)};
        return next++;
    };
    load(kBackground.name, kBackground.path);
    load(kPlayersLabel.name, kPlayersLabel.path);
    load(kPlayersLabel.highlightName, kPlayersLabel.highlightPath);
    for (int i = 0; i < kMaxPlayers; ++i) menu.itemNormal[i] = load(kItems[i].name, kItems[i].path);
    for (int i = 0; i < kMaxPlayers; ++i) {
        menu.itemHighlight[i] = load(kItems[i].highlightName, kItems[i].highlightPath);
    }
    for (int i : {kInstructionsItem - 1, kCreditsItem - 1, kLeaveItem - 1, kKeysItem - 1,
                  kStagesItem - 1}) {
        menu.itemNormal[i] = load(kItems[i].name, kItems[i].path);
        menu.itemHighlight[i] = load(kItems[i].highlightName, kItems[i].highlightPath);
    }
    menu.buffer.bitmap =
        createScreenBuffer(menu.buffer.name, kWindowWidth, kWindowHeight, makecol(0, 0, 0));
    return menu;
}

void releaseMenu(MenuBitmaps& menu) {
    for (Loaded& picture : menu.pictures) {
        recordedDestroyBitmap(picture.name, std::move(picture.bitmap));
    }
    recordedDestroyBitmap(menu.buffer.name, std::move(menu.buffer.bitmap));
}

void blitToBuffer(const MenuBitmaps& menu, const Loaded& picture, const MenuPicture& place) {
    recordedBlit(picture.bitmap.get(), picture.name, menu.buffer.bitmap.get(), menu.buffer.name, 0,
                 0, place.x, place.y, place.width, place.height);
}

void drawMenuFrame(const MenuBitmaps& menu, int selectedItem) {
    blitToBuffer(menu, menu.pictures[0], kBackground);
    const bool choosingPlayers = selectedItem >= 1 && selectedItem <= kMaxPlayers;
    blitToBuffer(menu, menu.pictures[choosingPlayers ? menu.labelHighlight : menu.labelNormal],
                 kPlayersLabel);
    for (int item = 1; item <= kItemCount; ++item) {
        const int index =
            item == selectedItem ? menu.itemHighlight[item - 1] : menu.itemNormal[item - 1];
        blitToBuffer(menu, menu.pictures[index], kItems[item - 1]);
    }
    recordedDrawSprite(screen, kScreenName, menu.buffer.bitmap.get(), menu.buffer.name, 0, 0);
}

}  // namespace

MenuAction applyMenuRules(int& selectedItem, MenuMemory& memory) {
    const int item = selectedItem;
    if (actionDown(Action::Down) && (item == kCreditsItem || item == kInstructionsItem)) {
        selectedItem = item + 1;
    } else if (actionDown(Action::Down) && item < kCreditsItem) {
        selectedItem = kCreditsItem;
    } else if (actionDown(Action::Right) && item >= 1 && item < kMaxPlayers) {
        selectedItem = memory.lastPlayerCount = item + 1;
    } else if (actionDown(Action::Left) && item >= 2 && item <= kMaxPlayers) {
        selectedItem = memory.lastPlayerCount = item - 1;
    } else if (actionDown(Action::Up) && (item == kCreditsItem || item == kKeysItem)) {
        selectedItem = memory.lastPlayerCount;
    } else if (actionDown(Action::Right) && item == kCreditsItem) {
        selectedItem = kKeysItem;
    } else if (actionDown(Action::Left) && item == kKeysItem) {
        selectedItem = kCreditsItem;
    } else if (actionDown(Action::Down) && item == kKeysItem) {
        selectedItem = kInstructionsItem;
    } else if (actionDown(Action::Right) && item == kInstructionsItem) {
        selectedItem = kStagesItem;
    } else if (actionDown(Action::Left) && item == kStagesItem) {
        selectedItem = kInstructionsItem;
    } else if (actionDown(Action::Down) && item == kStagesItem) {
        selectedItem = kLeaveItem;
    } else if (actionDown(Action::Up) && item > kCreditsItem) {
        selectedItem = item - 1;
    } else if (actionDown(Action::Confirm) && item >= 1 && item <= kMaxPlayers) {
        return MenuAction::Choose;
    } else if (actionDown(Action::Confirm) && item == kLeaveItem) {
        return MenuAction::Leave;
    } else if (actionDown(Action::Confirm) && item == kCreditsItem) {
        return MenuAction::Credits;
    } else if (actionDown(Action::Confirm) && item == kInstructionsItem) {
        return MenuAction::Instructions;
    } else if (actionDown(Action::Confirm) && item == kKeysItem) {
        return MenuAction::Keys;
    } else if (actionDown(Action::Confirm) && item == kStagesItem) {
        return MenuAction::Stages;
    }
    return MenuAction::None;
}

int runMainMenu(MenuMemory& memory) {
    MenuBitmaps menu = loadMenu();
    int selectedItem = 1;
    int result = kLeaveItem;  // Esc leaves like the leave item

    recordedPlayMusic(sound::kMenuMusic);
    // The picture is drawn again only when what it shows changes: at the start, when the
    // highlight moves, and on the way back from a screen drawn over it.
    bool drawn = false;
    while (!actionDown(Action::Back)) {
        waitMoreThan(kFrameMs);
        const int itemBefore = selectedItem;
        const MenuAction action = applyMenuRules(selectedItem, memory);
        if (action != MenuAction::None) {
            recordedPlaySound(sound::kMenuChoose);
        } else if (selectedItem != itemBefore) {
            recordedPlaySound(sound::kMenuMove);
        }
        if (selectedItem != itemBefore) drawn = false;
        if (action == MenuAction::Choose || action == MenuAction::Leave) {
            result = selectedItem;
            break;
        }
        if (action == MenuAction::Credits || action == MenuAction::Instructions ||
            action == MenuAction::Keys || action == MenuAction::Stages) {
            drawn = false;
        }
        if (action == MenuAction::Credits) runCreditsScreen();
        if (action == MenuAction::Instructions) runInstructionsScreen();
        if (action == MenuAction::Keys) runKeysScreen();
        if (action == MenuAction::Stages)
            memory.stages = runStagesScreen(memory.stages, listedStages());

        for (Action a : {Action::Left, Action::Right, Action::Down, Action::Up}) consumeAction(a);
        if (!drawn) {
            drawMenuFrame(menu, selectedItem);
            drawn = true;
        }
        // Each frame is one batch for a remote viewer, like every other drawing loop (an empty one
        // when nothing was drawn; it shows the picture only when F11 switches the window).
        flushRecording();
    }

    releaseMenu(menu);
    return result;
}
