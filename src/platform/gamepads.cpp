#include "platform/gamepads.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/gamepad_roster.h"

static_assert(kPadButtonCount == SDL_CONTROLLER_BUTTON_MAX);
static_assert(static_cast<int>(PadButton::A) == SDL_CONTROLLER_BUTTON_A);
static_assert(static_cast<int>(PadButton::Y) == SDL_CONTROLLER_BUTTON_Y);
static_assert(static_cast<int>(PadButton::Back) == SDL_CONTROLLER_BUTTON_BACK);
static_assert(static_cast<int>(PadButton::Start) == SDL_CONTROLLER_BUTTON_START);
static_assert(static_cast<int>(PadButton::DpadUp) == SDL_CONTROLLER_BUTTON_DPAD_UP);
static_assert(static_cast<int>(PadButton::DpadRight) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT);

namespace {

// While a pad is open its buttons are looked at every 4 ms; with none, only a pad plugged in is
// waited for, and a look every 100 ms notices it soon enough.
constexpr auto kPumpPeriod = std::chrono::milliseconds(4);
constexpr auto kIdlePumpPeriod = std::chrono::milliseconds(100);

class GamepadSource : public InputSource {
  public:
    bool down(Action action) override;
    void consume(Action action) override;
};

struct ControllerCloser {
    void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};
using ControllerHandle = std::unique_ptr<SDL_GameController, ControllerCloser>;

struct Gamepads {
    // The roster, asked from any thread (the timer thread's flip poll among them).
    std::mutex rosterMutex;
    GamepadRoster roster;
    // Never destroyed before the process ends: a thread inside actionDown may still hold it after
    // removeInputSource.
    GamepadSource source;

    // The open controllers by device id. Touched by whoever pumps (the pump thread, or a test's
    // own thread) and by start and stop, never at the same time.
    std::map<SDL_JoystickID, ControllerHandle> controllers;
    bool started = false;

    std::mutex pumpMutex;
    std::condition_variable pumpWake;
    bool pumpStop = false;
    std::thread pumpThread;
};
// Process-wide: SDL's game controller subsystem is the process's, and the pads are asked from
// anywhere (screens, the race's flip poll on the library's timer thread) through input.h.
Gamepads pads;

bool GamepadSource::down(Action action) {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    return pads.roster.down(action);
}

void GamepadSource::consume(Action action) {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    pads.roster.consume(action);
}

void controllerAdded(int deviceIndex) {
    ControllerHandle controller(SDL_GameControllerOpen(deviceIndex));
    if (!controller) return;
    const SDL_JoystickID id =
        SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller.get()));
    if (pads.controllers.count(id)) return;
    int number;
    {
        std::lock_guard<std::mutex> lock(pads.rosterMutex);
        number = pads.roster.plug(id);
    }
    // A seventh pad is left closed.
    if (number != 0) pads.controllers[id] = std::move(controller);
}

void controllerRemoved(SDL_JoystickID id) {
    {
        std::lock_guard<std::mutex> lock(pads.rosterMutex);
        pads.roster.unplug(id);
    }
    pads.controllers.erase(id);
}

void handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            controllerAdded(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            controllerRemoved(event.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN: {
            std::lock_guard<std::mutex> lock(pads.rosterMutex);
            pads.roster.press(event.cbutton.which, event.cbutton.button);
            break;
        }
        case SDL_CONTROLLERBUTTONUP: {
            std::lock_guard<std::mutex> lock(pads.rosterMutex);
            pads.roster.release(event.cbutton.which, event.cbutton.button);
            break;
        }
        default:
            break;
    }
}

void pumpUntilStopped() {
    std::unique_lock<std::mutex> lock(pads.pumpMutex);
    while (!pads.pumpStop) {
        lock.unlock();
        pumpGamepads();
        lock.lock();
        const auto period = pads.controllers.empty() ? kIdlePumpPeriod : kPumpPeriod;
        pads.pumpWake.wait_for(lock, period, [] { return pads.pumpStop; });
    }
}

}  // namespace

bool startGamepadsWithoutThread() {
    if (pads.started) return true;
    // Game controllers only: no window, no video, and the game's own signal handling left alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) return false;
    {
        std::lock_guard<std::mutex> lock(pads.rosterMutex);
        pads.roster.reset();
    }
    pads.started = true;
    addInputSource(&pads.source);
    return true;
}

bool startGamepads() {
    if (pads.started) return true;
    if (!startGamepadsWithoutThread()) return false;
    pads.pumpStop = false;
    pads.pumpThread = std::thread(pumpUntilStopped);
    return true;
}

void pumpGamepads() {
    if (!pads.started) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle(event);
}

void stopGamepads() {
    if (!pads.started) return;
    if (pads.pumpThread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(pads.pumpMutex);
            pads.pumpStop = true;
        }
        pads.pumpWake.notify_all();
        pads.pumpThread.join();
    }
    removeInputSource(&pads.source);
    {
        std::lock_guard<std::mutex> lock(pads.rosterMutex);
        pads.roster.reset();
    }
    pads.controllers.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_Quit();
    pads.started = false;
}

int gamepadNumberOfPlayer(int playerNumber) {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    return pads.roster.padOfPlayer(playerNumber);
}

int gamepadPressing(Action action) {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    return pads.roster.pressing(action);
}

void giveGamepadToPlayer(int padNumber, int playerNumber) {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    pads.roster.give(padNumber, playerNumber);
}

void clearGamepadPlayers() {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    pads.roster.clearPlayers();
}

void setEveryGamepadPlayerOne(bool everyPad) {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    pads.roster.setEveryPadPlayerOne(everyPad);
}

int gamepadCount() {
    std::lock_guard<std::mutex> lock(pads.rosterMutex);
    return pads.roster.count();
}
