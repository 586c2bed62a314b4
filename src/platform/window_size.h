// The size of the game's picture: everything is drawn into a 640 x 480 picture named "screen",
// whatever the scale of the window that shows it.
#pragma once

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
