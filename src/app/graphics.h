// Start and end of the graphics library, the JPEG loader, the timer and the keyboard.
#pragma once

// Brings the graphics library up: a 1 x 1 window when the drawing recorder serves remote players
// (a server only records), else 640 x 480, 32-bit colour; then the timer and the keyboard.
// Creates the recorder with no players if nobody has yet. On failure prints an orderly message
// with the library's own error text, shuts the library down again and returns false.
bool startGraphics();

// Ends what startGraphics started: drops pending key presses and shuts the library down.
void stopGraphics();

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
