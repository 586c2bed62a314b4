// Asks the desktop's window manager to show the game window full screen (no frame, above the
// panels, covering the whole screen) or as an ordinary framed window again. Without a window
// manager (a bare X server) nothing happens and nothing is needed: the window already sits at the
// screen's corner, unframed. Call while the graphics library's window is open.
#pragma once

void askFullScreen(bool fullScreen);
