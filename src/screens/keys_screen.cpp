#include "screens/keys_screen.h"

#include <allegro.h>

#include <array>
#include <string>
#include <utility>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_config.h"
#include "platform/key_names.h"
#include "platform/player_limits.h"
#include "platform/sound_player.h"
#include "platform/window_size.h"
#include "screens/key_choice.h"
#include "screens/keys_layout.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"

namespace {

constexpr int kFrameMs = 60;
constexpr const char* kBufferName = "buffer_teclas";

struct Picture {
    std::string name;
    BitmapHandle bitmap;
};

void release(Picture& picture) {
    if (!picture.name.empty()) recordedDestroyBitmap(picture.name, std::move(picture.bitmap));
    picture.name.clear();
}

// The pictures of the screen; each player's key picture follows their key.
struct KeysPictures {
    Picture background, marker, reserved;
    std::array<Picture, kMaxPlayers> taken;  // "already used by player N"
    std::array<Picture, kMaxPlayers> keyOf;
    std::array<int, kMaxPlayers> shownKey{};
    Picture buffer;

    KeysPictures() {
        background = {"bg_teclas", loadScreenImage("bg_teclas", "Img/menu/bg_teclas.jpg")};
        marker = {"teclas_vez", loadScreenImage("teclas_vez", "Img/menu/teclas_vez.bmp")};
        reserved = {"teclas_reservada",
                    loadScreenImage("teclas_reservada", "Img/menu/teclas_reservada.bmp")};
        for (int p = 0; p < kMaxPlayers; ++p) {
            const std::string name = "teclas_usada_" + std::to_string(p + 1);
            taken[p] = {name, loadScreenImage(name, "Img/menu/" + name + ".bmp")};
        }
        buffer = {kBufferName,
                  createScreenBuffer(kBufferName, kWindowWidth, kWindowHeight, makecol(0, 0, 0))};
    }
    ~KeysPictures() {
        for (Picture& picture : keyOf) release(picture);
        for (Picture& picture : taken) release(picture);
        release(reserved);
        release(marker);
        release(background);
        release(buffer);
    }
    KeysPictures(const KeysPictures&) = delete;
    KeysPictures& operator=(const KeysPictures&) = delete;

    // Player `p`'s key picture, loaded anew when the key changed.
    const Picture& keyPicture(int p, int scanCode) {
        if (keyOf[p].name.empty() || shownKey[p] != scanCode) {
            release(keyOf[p]);
            const ChoosableKey* entry = choosableKey(scanCode);
            const std::string name = "tecla_j" + std::to_string(p + 1);
            keyOf[p] = {name, loadScreenImage(name, std::string("Img/Jogo/Teclas/") +
                                                        (entry ? entry->name : "X") + ".bmp")};
            shownKey[p] = scanCode;
        }
        return keyOf[p];
    }
};

void drawSprite(const Picture& target, const Picture& sprite, int x, int y) {
    recordedDrawSprite(target.bitmap.get(), target.name, sprite.bitmap.get(), sprite.name, x, y);
}

void drawFrame(KeysPictures& pictures, const KeyChoice& choice) {
    recordedBlit(pictures.background.bitmap.get(), pictures.background.name,
                 pictures.buffer.bitmap.get(), pictures.buffer.name, 0, 0, 0, 0, kWindowWidth,
                 kWindowHeight);
    for (int p = 0; p < kMaxPlayers; ++p) {
        const int top = kKeysFirstRowY + p * kKeysRowStep;
        drawSprite(pictures.buffer, pictures.keyPicture(p, choice.keys[p].key), kKeysKeyX,
                   top + kKeysKeyDy);
        if (p == choice.player) drawSprite(pictures.buffer, pictures.marker, kKeysPanelX, top);
    }
    if (choice.clashWith == kReservedClash) {
        drawSprite(pictures.buffer, pictures.reserved, kKeysPanelX, kKeysMessageY);
    } else if (choice.clashWith > 0) {
        drawSprite(pictures.buffer, pictures.taken[choice.clashWith - 1], kKeysPanelX,
                   kKeysMessageY);
    }
    recordedDrawSprite(screen, kScreenName, pictures.buffer.bitmap.get(), pictures.buffer.name, 0,
                       0);
    flushRecording();
}

}  // namespace

bool runKeysScreen() {
    KeysPictures pictures;
    KeyChoice choice = startKeyChoice(flipKeys());
    consumeAction(Action::Confirm);  // the Enter that opened the screen
    while (!choiceDone(choice)) {
        drawFrame(pictures, choice);
        waitMoreThan(kFrameMs);
        if (actionDown(Action::Back)) {
            consumeAction(Action::Back);
            return false;
        }
        if (actionDown(Action::Confirm)) {
            consumeAction(Action::Confirm);
            keepKey(choice);
            recordedPlaySound(sound::kMenuMove);
            continue;
        }
        const int pressed = takeKeyPress();
        if (!pressed) continue;
        if (pressKey(choice, pressed)) recordedPlaySound(sound::kMenuChoose);
    }
    drawFrame(pictures, choice);
    saveKeyConfig(choice.keys);
    return true;
}
