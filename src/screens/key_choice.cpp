#include "screens/key_choice.h"

#include "platform/key_names.h"

namespace {

bool has(const KeyBinding& keys, int scanCode) {
    return scanCode == keys.key || (keys.alternativeKey && scanCode == keys.alternativeKey);
}

}  // namespace

KeyChoice startKeyChoice(const std::array<KeyBinding, kMaxPlayers>& keys) { return {keys, 0, 0}; }

bool pressKey(KeyChoice& choice, int scanCode) {
    if (choiceDone(choice)) return false;
    if (isReservedKey(scanCode)) {
        choice.clashWith = kReservedClash;
        return false;
    }
    if (!choosableKey(scanCode)) return false;
    for (int other = 0; other < kMaxPlayers; ++other) {
        if (other != choice.player && has(choice.keys[other], scanCode)) {
            choice.clashWith = other + 1;
            return false;
        }
    }
    choice.keys[choice.player] = {scanCode, 0};
    keepKey(choice);
    return true;
}

void keepKey(KeyChoice& choice) {
    if (choiceDone(choice)) return;
    ++choice.player;
    choice.clashWith = 0;
}

bool choiceDone(const KeyChoice& choice) { return choice.player >= kMaxPlayers; }
