// The six runner characters, drawn from simple shapes so that the same figure appears in the sprite
// sheets (42 x 47 frames), the selection portraits and the menu pictures at any scale.
#pragma once

#include <string>

#include "platform/player_limits.h"
#include "world/paint_kit.h"

constexpr int kFrameWidth = 42;
constexpr int kFrameHeight = 47;
constexpr int kGroundedFrames = 5;
constexpr int kAirborneFrames = 4;
constexpr int kAirborneRowY = kFrameHeight + 2;

// Main colour of character 0..5, used for cards and frames that belong to it.
kit::Rgb characterColour(int character);
const char* characterName(int character);

// Draws one animation frame of a character. (left, top) is where the 42 x 47 design box lands on
// the target and scale enlarges it. With hardEdges the figure is drawn without blending, for
// sprites on the mask colour. grounded selects the running row (frame 0..4) or the airborne row
// (frame 0..3).
void drawCharacter(BITMAP* target, int character, bool grounded, int frame, double left, double top,
                   double scale, bool hardEdges);

// The sprite sheet of a character: 5 running frames on row 0 and 4 airborne frames at y 49, on
// magenta.
BitmapHandle makeSpriteSheet(int character);
