#include "screens/player_selection.h"

#include <allegro.h>

#include <string>
#include <utility>

#include "platform/clock.h"
#include "platform/gamepads.h"
#include "platform/input.h"
#include "platform/player_limits.h"
#include "platform/sound_player.h"
#include "platform/window_size.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/runner_sprites.h"

void SelectionState::placeCursor() {
    if (!taken[0] || placed[currentPlayer]) return;
    for (int column = 1; column < kMaxPlayers; ++column) {
        if (!taken[column]) {
            cursorX[currentPlayer] = kFirstCursorX + kColumnStep * column;
            break;
        }
    }
    placed[currentPlayer] = true;
}

void SelectionState::moveRight() {
    if (cursorX[currentPlayer] >= kLastCursorX) return;
    const int column = cursorColumn();
    for (int step = 1; column + step < kMaxPlayers; ++step) {
        if (!taken[column + step]) {
            cursorX[currentPlayer] += kColumnStep * step;
            return;
        }
    }
}

void SelectionState::moveLeft() {
    if (cursorX[currentPlayer] <= kFirstCursorX) return;
    const int column = cursorColumn();
    for (int step = 1; column - step >= 0; ++step) {
        if (!taken[column - step]) {
            cursorX[currentPlayer] -= kColumnStep * step;
            return;
        }
    }
}

void SelectionState::choose() {
    const int column = cursorColumn();
    sprites[currentPlayer] = kRunnerSpritePaths[column];
    taken[column] = true;
    ++currentPlayer;
}

namespace {

constexpr int kFrameMs = 50;
constexpr int kFrameY = 339;
constexpr int kPortraitX = 72;
constexpr int kPortraitY = 344;
constexpr int kPortraitSide = 70;
constexpr int kFrameSide = 80;
constexpr int kNumberX = 255;
constexpr int kNumberY = 294;
constexpr std::array<int, kMaxPlayers> kNumberWidths{13, 19, 20, 19, 19, 20};
const char kBufferName[] = "buffer_selecao";

struct Picture {
    std::string name;
    BitmapHandle bitmap;
};

struct SelectionBitmaps {
    Picture background;
    // sel_0 (empty column), sel_1 to sel_6 (player cursors)
    std::array<Picture, kMaxPlayers + 1> frames;
    std::array<Picture, kMaxPlayers> portraits;  // free
    std::array<Picture, kMaxPlayers> portraitsTaken;
    std::array<Picture, kMaxPlayers> numbers;  // img1 to img6
    BitmapHandle buffer;
};

Picture load(const std::string& name, const std::string& path) {
    return Picture{name, loadScreenImage(name, path)};
}

SelectionBitmaps loadSelection() {
    SelectionBitmaps s;
    s.background = load("selecao", "Img/menu/bg_selecao.jpg");
    for (int i = 0; i <= kMaxPlayers; ++i) {
        const std::string name = "sel_" + std::to_string(i);
        s.frames[i] = load(name, "Img/menu/" + name + ".jpg");
    }
    for (int i = 1; i <= kMaxPlayers; ++i) {
        const std::string name = "sel_j" + std::to_string(i);
        s.portraits[i - 1] = load(name, "Img/menu/" + name + ".jpg");
    }
    for (int i = 1; i <= kMaxPlayers; ++i) {
        const std::string name = "sel_j" + std::to_string(i) + "_2";
        s.portraitsTaken[i - 1] = load(name, "Img/menu/" + name + ".jpg");
    }
    for (int i = 1; i <= kMaxPlayers; ++i) {
        const std::string name = "img" + std::to_string(i);
        s.numbers[i - 1] = load(name, "Img/menu/" + name + ".jpg");
    }
    s.buffer = createScreenBuffer(kBufferName, kWindowWidth, kWindowHeight, makecol(0, 0, 0));
    return s;
}

void release(Picture& picture) { recordedDestroyBitmap(picture.name, std::move(picture.bitmap)); }

void releaseSelection(SelectionBitmaps& s) {
    recordedDestroyBitmap(kBufferName, std::move(s.buffer));
    release(s.background);
    for (Picture& p : s.numbers) release(p);
    for (Picture& p : s.frames) release(p);
    for (Picture& p : s.portraits) release(p);
    for (Picture& p : s.portraitsTaken) release(p);
}

void blitToBuffer(const SelectionBitmaps& s, const Picture& picture, int x, int y, int width,
                  int height) {
    recordedBlit(picture.bitmap.get(), picture.name, s.buffer.get(), kBufferName, 0, 0, x, y, width,
                 height);
}

int columnX(int column) {
    return SelectionState::kFirstCursorX + SelectionState::kColumnStep * column;
}

}  // namespace

std::optional<SpriteList> runPlayerSelection(int playerCount) {
    consumeAction(
        Action::Confirm);   // the Enter that confirmed the menu choice must not choose a character
    clearGamepadPlayers();  // each selection gives the pads anew
    SelectionBitmaps bitmaps = loadSelection();
    SelectionState state;
    state.playerCount = playerCount;

    bool escaped = actionDown(Action::Back);
    while (!escaped) {
        waitMoreThan(kFrameMs);
        flushRecording();
        blitToBuffer(bitmaps, bitmaps.background, 0, 0, kWindowWidth, kWindowHeight);
        for (int column = 0; column < kMaxPlayers; ++column) {
            blitToBuffer(bitmaps, bitmaps.frames[0], columnX(column), kFrameY, kFrameSide,
                         kFrameSide);
        }
        const int p = state.currentPlayer;
        blitToBuffer(bitmaps, bitmaps.frames[p + 1], state.cursorX[p], kFrameY, kFrameSide,
                     kFrameSide);

        state.placeCursor();
        if (actionDown(Action::Right)) {
            state.moveRight();
            consumeAction(Action::Right);
            recordedPlaySound(sound::kMenuMove);
        }
        if (actionDown(Action::Left)) {
            state.moveLeft();
            consumeAction(Action::Left);
            recordedPlaySound(sound::kMenuMove);
        }
        if (actionDown(Action::Confirm)) {
            // The pad that confirms a character becomes that player's.
            const int pad = gamepadPressing(Action::Confirm);
            if (pad != 0) giveGamepadToPlayer(pad, state.currentPlayer + 1);
            state.choose();
            consumeAction(Action::Confirm);
            recordedPlaySound(sound::kMenuChoose);
        }
        if (state.done()) break;

        for (int column = 0; column < kMaxPlayers; ++column) {
            const Picture& portrait =
                state.taken[column] ? bitmaps.portraitsTaken[column] : bitmaps.portraits[column];
            blitToBuffer(bitmaps, portrait, kPortraitX + SelectionState::kColumnStep * column,
                         kPortraitY, kPortraitSide, kPortraitSide);
        }
        const int chooser = state.currentPlayer;
        blitToBuffer(bitmaps, bitmaps.numbers[chooser], kNumberX, kNumberY, kNumberWidths[chooser],
                     33);
        recordedDrawSprite(screen, kScreenName, bitmaps.buffer.get(), kBufferName, 0, 0);
        escaped = actionDown(Action::Back);
    }

    if (escaped) consumeAction(Action::Back);
    releaseSelection(bitmaps);
    if (escaped) return std::nullopt;
    return state.sprites;
}
