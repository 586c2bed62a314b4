#include "platform/virtual_pad.h"

VirtualPad::VirtualPad() {
    SDL_VirtualJoystickDesc description;
    SDL_zero(description);
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    description.naxes = SDL_CONTROLLER_AXIS_MAX;
    description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    description.name = "Controle de teste";
    const int index = SDL_JoystickAttachVirtualEx(&description);
    if (index >= 0) joystick_ = SDL_JoystickOpen(index);
}

VirtualPad::~VirtualPad() { pullOut(); }

void VirtualPad::hold(PadButton button) {
    if (joystick_) SDL_JoystickSetVirtualButton(joystick_, static_cast<int>(button), 1);
}

void VirtualPad::release(PadButton button) {
    if (joystick_) SDL_JoystickSetVirtualButton(joystick_, static_cast<int>(button), 0);
}

void VirtualPad::pullOut() {
    if (!joystick_) return;
    // Detached by its index of now: earlier pads pulled out move the later ones down.
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id) {
            SDL_JoystickDetachVirtual(index);
            return;
        }
    }
}
