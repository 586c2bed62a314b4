#include "platform/gamepad_roster.h"

namespace {

bool isFaceButton(int button) {
    return button == static_cast<int>(PadButton::A) || button == static_cast<int>(PadButton::B) ||
           button == static_cast<int>(PadButton::X) || button == static_cast<int>(PadButton::Y);
}

// What a button gives besides the flip of the pad's player.
bool givesFixedAction(int button, Action action) {
    switch (static_cast<PadButton>(button)) {
        case PadButton::A:
            return action == Action::Confirm;
        case PadButton::Back:
            return action == Action::Back;
        case PadButton::Start:
            return action == Action::Pause;
        case PadButton::DpadUp:
            return action == Action::Up;
        case PadButton::DpadDown:
            return action == Action::Down;
        case PadButton::DpadLeft:
            return action == Action::Left;
        case PadButton::DpadRight:
            return action == Action::Right;
        default:
            return false;
    }
}

bool isButton(int button) { return button >= 0 && button < kPadButtonCount; }

}  // namespace

GamepadRoster::Pad* GamepadRoster::padWithId(int32_t deviceId) {
    for (Pad& pad : pads_) {
        if (pad.plugged && pad.deviceId == deviceId) return &pad;
    }
    return nullptr;
}

int GamepadRoster::plug(int32_t deviceId) {
    if (Pad* known = padWithId(deviceId)) return static_cast<int>(known - pads_.data()) + 1;
    for (int i = 0; i < kMaxPlayers; ++i) {
        if (pads_[i].plugged) continue;
        pads_[i] = Pad{};
        pads_[i].plugged = true;
        pads_[i].deviceId = deviceId;
        const int number = i + 1;
        for (int player = 0; player < kMaxPlayers; ++player) {
            if (!waitingForPad_[player]) continue;
            padOfPlayer_[player] = number;
            waitingForPad_[player] = false;
            break;
        }
        return number;
    }
    return 0;
}

void GamepadRoster::unplug(int32_t deviceId) {
    Pad* pad = padWithId(deviceId);
    if (!pad) return;
    const int number = static_cast<int>(pad - pads_.data()) + 1;
    *pad = Pad{};
    for (int player = 0; player < kMaxPlayers; ++player) {
        if (padOfPlayer_[player] != number) continue;
        padOfPlayer_[player] = 0;
        waitingForPad_[player] = true;
    }
}

void GamepadRoster::press(int32_t deviceId, int button) {
    Pad* pad = padWithId(deviceId);
    if (!pad || !isButton(button)) return;
    pad->held[button] = true;
    pad->taken[button] = false;
}

void GamepadRoster::release(int32_t deviceId, int button) {
    Pad* pad = padWithId(deviceId);
    if (!pad || !isButton(button)) return;
    pad->held[button] = false;
}

int GamepadRoster::playerOfPad(int padNumber) const {
    if (everyPadPlayerOne_) return 1;
    for (int player = 0; player < kMaxPlayers; ++player) {
        if (padOfPlayer_[player] == padNumber) return player + 1;
    }
    return 0;
}

bool GamepadRoster::gives(int padNumber, int button, Action action) const {
    if (givesFixedAction(button, action)) return true;
    if (!isFaceButton(button)) return false;
    const int player = playerOfPad(padNumber);
    return player != 0 && action == flipAction(player);
}

bool GamepadRoster::downOn(int padNumber, Action action) const {
    const Pad& pad = pads_[padNumber - 1];
    if (!pad.plugged) return false;
    for (int button = 0; button < kPadButtonCount; ++button) {
        if (pad.held[button] && !pad.taken[button] && gives(padNumber, button, action)) return true;
    }
    return false;
}

bool GamepadRoster::down(Action action) const { return pressing(action) != 0; }

int GamepadRoster::pressing(Action action) const {
    for (int number = 1; number <= kMaxPlayers; ++number) {
        if (downOn(number, action)) return number;
    }
    return 0;
}

void GamepadRoster::consume(Action action) {
    for (int number = 1; number <= kMaxPlayers; ++number) {
        Pad& pad = pads_[number - 1];
        if (!pad.plugged) continue;
        for (int button = 0; button < kPadButtonCount; ++button) {
            if (pad.held[button] && gives(number, button, action)) pad.taken[button] = true;
        }
    }
}

int GamepadRoster::padOfPlayer(int playerNumber) const {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) return 0;
    return padOfPlayer_[playerNumber - 1];
}

void GamepadRoster::give(int padNumber, int playerNumber) {
    if (padNumber < 1 || padNumber > kMaxPlayers || playerNumber < 1 ||
        playerNumber > kMaxPlayers || !pads_[padNumber - 1].plugged) {
        return;
    }
    for (int& pad : padOfPlayer_) {
        if (pad == padNumber) pad = 0;
    }
    padOfPlayer_[playerNumber - 1] = padNumber;
    waitingForPad_[playerNumber - 1] = false;
}

void GamepadRoster::clearPlayers() {
    padOfPlayer_.fill(0);
    waitingForPad_.fill(false);
}

int GamepadRoster::count() const {
    int plugged = 0;
    for (const Pad& pad : pads_) plugged += pad.plugged ? 1 : 0;
    return plugged;
}

void GamepadRoster::reset() {
    pads_.fill(Pad{});
    clearPlayers();
    everyPadPlayerOne_ = false;
}
