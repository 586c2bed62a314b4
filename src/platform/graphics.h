// Start and end of the graphics library, the JPEG loader, the timer, the keyboard and the sound,
// and the game window's scale.
//
// Everything is drawn into a 640 x 480 picture named `screen`, as the game always has. At scale 1
// that picture is the window itself. At scale N (2 to 4) the window is N times larger, `screen`
// is a memory picture of 640 x 480 and presentWindow() shows it enlarged by whole pixels; the
// library's own window bitmap is put back before the library shuts down.
#pragma once

#include "platform/window_size.h"

constexpr int kMaxWindowScale = 4;

// The scale of the next window: 1 to kMaxWindowScale, or 0 (the default) for the largest that
// fits the desktop.
void setWindowScale(int scale);

// The largest whole factor, 1 to kMaxWindowScale, at which the 640 x 480 picture fits a desktop
// of `width` x `height` (1 when the size is unknown or too small).
int fittingScale(int desktopWidth, int desktopHeight);

// The window the graphics start-up opens.
struct WindowRequest {
    int width;
    int height;
    bool scaled;  // enlarged by the window scale (setWindowScale)
    bool sound;   // also starts the sound
};
// The game window: the picture, enlarged to fit, with sound.
constexpr WindowRequest kGameWindow{kWindowWidth, kWindowHeight, true, true};
// A window that only gives the library its keyboard: one pixel, no sound (a server only records).
constexpr WindowRequest kKeyboardOnlyWindow{1, 1, false, false};

// Brings the graphics library up: the requested window in 32-bit colour, then the timer, the
// keyboard and, when asked, the sound (sound_player.h; a machine without sound stays silent). On
// failure prints an orderly message with the library's own error text, shuts the library down
// again and returns false.
bool startGraphics(const WindowRequest& window = kGameWindow);

// Ends what startGraphics started: drops pending key presses and shuts the library down.
void stopGraphics();

// The scale of the open window (1 when none is open).
int windowScale();

// Shows the finished picture: nothing to do at scale 1; at a larger scale, the picture enlarged
// on the window. Called by the thread that draws.
void presentWindow();
