#include "world/flip_keys.h"

#include <allegro.h>

#include <array>
#include <stdexcept>

#include "platform/gamepads.h"
#include "platform/input.h"
#include "platform/key_names.h"
#include "platform/player_limits.h"
#include "world/runner.h"

namespace {

// Today's pictures of the default keys, which stay when nothing was chosen.
const char* const kDefaultImages[kMaxPlayers] = {
    "Img/Jogo/X.bmp", "Img/Jogo/M.bmp",    "Img/Jogo/R.bmp",
    "Img/Jogo/A.bmp", "Img/Jogo/CTRL.bmp", "Img/Jogo/3.bmp",
};
const char* const kRecordedImages[kMaxPlayers] = {
    "Img/Jogo/1.bmp", "Img/Jogo/2.bmp", "Img/Jogo/3.bmp",
    "Img/Jogo/4.bmp", "Img/Jogo/5.bmp", "Img/Jogo/6.bmp",
};
const char* const kPadImages[kMaxPlayers] = {
    "Img/Jogo/Controle/1.bmp", "Img/Jogo/Controle/2.bmp", "Img/Jogo/Controle/3.bmp",
    "Img/Jogo/Controle/4.bmp", "Img/Jogo/Controle/5.bmp", "Img/Jogo/Controle/6.bmp",
};

// The picture path of each choosable key, made at the first call and constant after (FlipKeys
// points into it).
const std::string& chosenKeyImage(const ChoosableKey& entry) {
    static const auto paths = [] {
        std::array<std::string, std::size(kChoosableKeys)> all;
        for (size_t i = 0; i < all.size(); ++i) {
            all[i] = std::string("Img/Jogo/Teclas/") + kChoosableKeys[i].name + ".bmp";
        }
        return all;
    }();
    return paths[&entry - kChoosableKeys];
}

constexpr long kKeyPollPeriodMs = 5;

}  // namespace

FlipKeys flipKeysOf(int playerNumber) {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) throw std::out_of_range("player number");
    const int index = playerNumber - 1;
    const KeyBinding keys = flipKeys()[index];
    const KeyBinding defaults = defaultFlipKeys()[index];
    const char* image = kDefaultImages[index];
    if (keys.key != defaults.key || keys.alternativeKey != defaults.alternativeKey) {
        const ChoosableKey* entry = choosableKey(keys.key);
        if (entry) image = chosenKeyImage(*entry).c_str();
    }
    const int pad = gamepadNumberOfPlayer(playerNumber);
    if (pad >= 1 && pad <= kMaxPlayers) image = kPadImages[pad - 1];
    return {keys.key, keys.alternativeKey, image, kRecordedImages[index]};
}

void pollKey(void* param) {
    auto* runner = static_cast<Runner*>(param);
    const Action flip = flipAction(runner->playerNumber());
    if (!actionDown(flip)) return;
    if (!runner->flipGravity()) return;
    consumeAction(flip);
}

void startKeyPoll(Runner* runner) {
    // Without the timer module (a program that never started the graphics, such as the logic
    // tests) installing the callback would try to bring the timer up on the null system driver.
    if (runner->keyPollRunning_ || !timer_driver) return;
    runner->keyPollRunning_ = install_param_int(pollKey, runner, kKeyPollPeriodMs) == 0;
}

void stopKeyPoll(Runner* runner) {
    if (!runner->keyPollRunning_) return;
    remove_param_int(pollKey, runner);
    runner->keyPollRunning_ = false;
}
