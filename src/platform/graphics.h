// Start and end of the graphics library, the JPEG loader, the timer, the keyboard and the sound,
// and the game window's scale.
//
// Everything is drawn into a 640 x 480 picture named `screen`, as the game always has. In the game
// window `screen` is a memory picture of 640 x 480 that presentWindow() shows on the window: at
// scale N (1 to 4) the window is N times larger and shows it enlarged by whole pixels; full
// screen, the window covers the screen and shows it at the largest whole factor that fits,
// centred on black (full_screen_layout.h). F11 switches between the two at any frame; the window
// is made anew but `screen` stays the same picture, so nothing else notices. The library's own
// window bitmap is put back before the library shuts down. (A keyboard-only window is the
// library's own `screen`.)
#pragma once

#include <functional>
#include <string>

#include "platform/window_size.h"

constexpr int kMaxWindowScale = 4;

// The scale of the next window: 1 to kMaxWindowScale, or 0 (the default) for the largest that
// fits the desktop.
void setWindowScale(int scale);

// Whether the next game window opens full screen whatever tela.conf says (--tela-cheia).
void setFullScreenRequested(bool fullScreen);

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

// The factor the open game window shows the picture at (1 when none is open).
int windowScale();

// Whether the open game window covers the screen.
bool windowIsFullScreen();

// Shows the finished picture on the window, enlarged and placed as the window asks; first, when
// F11 has been pressed, switches between window and full screen and keeps the choice in tela.conf
// (screen_config.h). Called by the thread that draws, between pictures.
void presentWindow();

// Whether F11 has been pressed since the window last switched (presentWindow() then switches).
bool windowSwitchAsked();

// A line of text that presentWindow() writes over the top left corner of the window, after the
// picture (so `screen` never holds it): asked at each presentation, "" for none. Empty removes it.
// Set it from the thread that presents.
void setWindowOverlay(std::function<std::string()> text);
