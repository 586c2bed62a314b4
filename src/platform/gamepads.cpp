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

// The roster, asked from any thread (the timer thread's flip poll among them).
std::mutex rosterMutex;
GamepadRoster roster;

class GamepadSource : public InputSource {
  public:
    bool down(Action action) override {
        std::lock_guard<std::mutex> lock(rosterMutex);
        return roster.down(action);
    }
    void consume(Action action) override {
        std::lock_guard<std::mutex> lock(rosterMutex);
        roster.consume(action);
    }
};
// Never destroyed: a thread inside actionDown may still hold it after removeInputSource.
GamepadSource source;

struct ControllerCloser {
    void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};
using ControllerHandle = std::unique_ptr<SDL_GameController, ControllerCloser>;

// The open controllers by device id. Touched by whoever pumps (the pump thread, or a test's own
// thread) and by start and stop, never at the same time.
std::map<SDL_JoystickID, ControllerHandle> controllers;
bool started = false;

std::mutex pumpMutex;
std::condition_variable pumpWake;
bool pumpStop = false;
std::thread pumpThread;

void controllerAdded(int deviceIndex) {
    ControllerHandle controller(SDL_GameControllerOpen(deviceIndex));
    if (!controller) return;
    const SDL_JoystickID id =
        SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller.get()));
    if (controllers.count(id)) return;
    int number;
    {
        std::lock_guard<std::mutex> lock(rosterMutex);
        number = roster.plug(id);
    }
    // A seventh pad is left closed.
    if (number != 0) controllers[id] = std::move(controller);
}

void controllerRemoved(SDL_JoystickID id) {
    {
        std::lock_guard<std::mutex> lock(rosterMutex);
        roster.unplug(id);
    }
    controllers.erase(id);
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
            std::lock_guard<std::mutex> lock(rosterMutex);
            roster.press(event.cbutton.which, event.cbutton.button);
            break;
        }
        case SDL_CONTROLLERBUTTONUP: {
            std::lock_guard<std::mutex> lock(rosterMutex);
            roster.release(event.cbutton.which, event.cbutton.button);
            break;
        }
        default:
            break;
    }
}

void pumpUntilStopped() {
    std::unique_lock<std::mutex> lock(pumpMutex);
    while (!pumpStop) {
        lock.unlock();
        pumpGamepads();
        lock.lock();
        const auto period = controllers.empty() ? kIdlePumpPeriod : kPumpPeriod;
        pumpWake.wait_for(lock, period, [] { return pumpStop; });
    }
}

}  // namespace

bool startGamepadsWithoutThread() {
    if (started) return true;
    // Game controllers only: no window, no video, and the game's own signal handling left alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) return false;
    {
        std::lock_guard<std::mutex> lock(rosterMutex);
        roster.reset();
    }
    started = true;
    addInputSource(&source);
    return true;
}

bool startGamepads() {
    if (started) return true;
    if (!startGamepadsWithoutThread()) return false;
    pumpStop = false;
    pumpThread = std::thread(pumpUntilStopped);
    return true;
}

void pumpGamepads() {
    if (!started) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle(event);
}

void stopGamepads() {
    if (!started) return;
    if (pumpThread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(pumpMutex);
            pumpStop = true;
        }
        pumpWake.notify_all();
        pumpThread.join();
    }
    removeInputSource(&source);
    {
        std::lock_guard<std::mutex> lock(rosterMutex);
        roster.reset();
    }
    controllers.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_Quit();
    started = false;
}

int gamepadNumberOfPlayer(int playerNumber) {
    std::lock_guard<std::mutex> lock(rosterMutex);
    return roster.padOfPlayer(playerNumber);
}

int gamepadPressing(Action action) {
    std::lock_guard<std::mutex> lock(rosterMutex);
    return roster.pressing(action);
}

void giveGamepadToPlayer(int padNumber, int playerNumber) {
    std::lock_guard<std::mutex> lock(rosterMutex);
    roster.give(padNumber, playerNumber);
}

void clearGamepadPlayers() {
    std::lock_guard<std::mutex> lock(rosterMutex);
    roster.clearPlayers();
}

void setEveryGamepadPlayerOne(bool everyPad) {
    std::lock_guard<std::mutex> lock(rosterMutex);
    roster.setEveryPadPlayerOne(everyPad);
}

int gamepadCount() {
    std::lock_guard<std::mutex> lock(rosterMutex);
    return roster.count();
}
