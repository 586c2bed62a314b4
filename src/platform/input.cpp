#include "platform/input.h"

#include <allegro.h>

#include <atomic>
#include <stdexcept>

namespace {

constexpr std::array<KeyBinding, kMaxPlayers> kDefaultFlipKeys = {{
    {KEY_X, 0},
    {KEY_M, 0},
    {KEY_RIGHT, 0},
    {KEY_A, 0},
    {KEY_LCONTROL, KEY_RCONTROL},
    {KEY_3, KEY_3_PAD},
}};

constexpr int kMaxSources = 4;

struct InputState {
    // The flip keys, one atomic pair per player, read by the timer thread.
    std::array<std::atomic<int>, kMaxPlayers> chosenKey = {
        {KEY_X, KEY_M, KEY_RIGHT, KEY_A, KEY_LCONTROL, KEY_3}};
    std::array<std::atomic<int>, kMaxPlayers> chosenAlternative = {
        {0, 0, 0, 0, KEY_RCONTROL, KEY_3_PAD}};
    std::array<KeyBinding, kMaxPlayers> chosenCopy = kDefaultFlipKeys;
    // The sources besides the keyboard.
    std::array<std::atomic<InputSource*>, kMaxSources> sources{};
};
// Process-wide, like the library's `key[]` it reads beside: asked by every screen and race, and
// by the 5 ms flip poll on the library's timer thread, which carries no context.
InputState input;

// The keys of the other actions (Action::Pause onwards), two each at most.
KeyBinding fixedKeys(Action action) {
    switch (action) {
        case Action::Pause:
            return {KEY_P, 0};
        case Action::Cheat:
            return {KEY_F10, 0};
        case Action::Back:
            return {KEY_ESC, 0};
        case Action::Confirm:
            return {KEY_ENTER, 0};
        case Action::Up:
            return {KEY_UP, 0};
        case Action::Down:
            return {KEY_DOWN, 0};
        case Action::Left:
            return {KEY_LEFT, 0};
        case Action::Right:
            return {KEY_RIGHT, 0};
        case Action::Mute:
            return {KEY_S, 0};
        case Action::FullScreen:
            return {KEY_F11, 0};
        case Action::ToStart:
            return {KEY_HOME, 0};
        case Action::Overlay:
            return {KEY_F3, 0};
        default:
            return {0, 0};
    }
}

KeyBinding keysOf(Action action) {
    const int index = static_cast<int>(action);
    if (index < kMaxPlayers) {
        return {input.chosenKey[index].load(), input.chosenAlternative[index].load()};
    }
    return fixedKeys(action);
}

bool isDown(int scanCode) { return scanCode > 0 && scanCode < KEY_MAX && key[scanCode] != 0; }

}  // namespace

Action flipAction(int playerNumber) {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) throw std::out_of_range("player number");
    return static_cast<Action>(static_cast<int>(Action::Flip1) + playerNumber - 1);
}

bool actionDown(Action action) {
    const KeyBinding keys = keysOf(action);
    if (isDown(keys.key) || isDown(keys.alternativeKey)) return true;
    for (auto& slot : input.sources) {
        InputSource* source = slot.load();
        if (source && source->down(action)) return true;
    }
    return false;
}

void consumeAction(Action action) {
    const KeyBinding keys = keysOf(action);
    if (keys.key > 0 && keys.key < KEY_MAX) key[keys.key] = 0;
    if (keys.alternativeKey > 0 && keys.alternativeKey < KEY_MAX) key[keys.alternativeKey] = 0;
    for (auto& slot : input.sources) {
        InputSource* source = slot.load();
        if (source) source->consume(action);
    }
}

void addInputSource(InputSource* source) {
    for (auto& slot : input.sources) {
        if (slot.load() == source) return;
    }
    for (auto& slot : input.sources) {
        InputSource* empty = nullptr;
        if (slot.compare_exchange_strong(empty, source)) return;
    }
}

void removeInputSource(InputSource* source) {
    for (auto& slot : input.sources) {
        InputSource* expected = source;
        slot.compare_exchange_strong(expected, nullptr);
    }
}

const std::array<KeyBinding, kMaxPlayers>& defaultFlipKeys() { return kDefaultFlipKeys; }

const std::array<KeyBinding, kMaxPlayers>& flipKeys() { return input.chosenCopy; }

void setFlipKeys(const std::array<KeyBinding, kMaxPlayers>& keys) {
    input.chosenCopy = keys;
    for (int i = 0; i < kMaxPlayers; ++i) {
        input.chosenKey[i] = keys[i].key;
        input.chosenAlternative[i] = keys[i].alternativeKey;
    }
}

bool isReservedKey(int scanCode) {
    for (int a = static_cast<int>(Action::Pause); a < kActionCount; ++a) {
        const KeyBinding keys = fixedKeys(static_cast<Action>(a));
        // The arrows move in the menus only: a race may use them (player 3's Right, as always).
        // Home acts only in a playback, where nobody flips.
        const Action action = static_cast<Action>(a);
        if (action == Action::Up || action == Action::Down || action == Action::Left ||
            action == Action::Right || action == Action::ToStart) {
            continue;
        }
        if (scanCode == keys.key || scanCode == keys.alternativeKey) return true;
    }
    return false;
}

int takeKeyPress() {
    for (int scanCode = 1; scanCode < KEY_MAX; ++scanCode) {
        if (scanCode == fixedKeys(Action::FullScreen).key || !key[scanCode]) continue;
        key[scanCode] = 0;
        return scanCode;
    }
    return 0;
}
