#include "world/flip_keys.h"

#include <allegro.h>

#include <stdexcept>

#include "platform/player_limits.h"
#include "world/runner.h"

namespace {

const FlipKeys kFlipKeys[kMaxPlayers] = {
    {KEY_X, 0, "Img/Jogo/X.bmp", "Img/Jogo/1.bmp"},
    {KEY_M, 0, "Img/Jogo/M.bmp", "Img/Jogo/2.bmp"},
    {KEY_RIGHT, 0, "Img/Jogo/R.bmp", "Img/Jogo/3.bmp"},
    {KEY_A, 0, "Img/Jogo/A.bmp", "Img/Jogo/4.bmp"},
    {KEY_LCONTROL, KEY_RCONTROL, "Img/Jogo/CTRL.bmp", "Img/Jogo/5.bmp"},
    {KEY_3, KEY_3_PAD, "Img/Jogo/3.bmp", "Img/Jogo/6.bmp"},
};

constexpr long kKeyPollPeriodMs = 5;

bool isDown(int scanCode) { return scanCode != 0 && key[scanCode] != 0; }

}  // namespace

const FlipKeys& flipKeysOf(int playerNumber) {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) throw std::out_of_range("player number");
    return kFlipKeys[playerNumber - 1];
}

void pollKey(void* param) {
    auto* runner = static_cast<Runner*>(param);
    const FlipKeys& keys = flipKeysOf(runner->playerNumber);
    if (!isDown(keys.key) && !isDown(keys.alternativeKey)) return;
    if (!runner->flipGravity()) return;
    key[keys.key] = 0;
    if (keys.alternativeKey) key[keys.alternativeKey] = 0;
}

void startKeyPoll(Runner* runner) {
    // Without the timer module (a program that never started the graphics, such as the logic
    // tests) installing the callback would try to bring the timer up on the null system driver.
    if (runner->keyPollRunning || !timer_driver) return;
    runner->keyPollRunning = install_param_int(pollKey, runner, kKeyPollPeriodMs) == 0;
}

void stopKeyPoll(Runner* runner) {
    if (!runner->keyPollRunning) return;
    remove_param_int(pollKey, runner);
    runner->keyPollRunning = false;
}
