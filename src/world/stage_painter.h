// The stage painter: a stage's picture drawn from its level (world/level_file.h), in the level's
// theme (sky, distant hills, terrain with its contour and surface, the signs and the finish
// banner), over the same terrain the collision bitmap is painted from, so that every terrain edge
// of the picture lies on a collision edge. The image generator draws the shipped stages' pictures
// with it at build time, and the game a player's own stage the first time it is listed.
//
// The drawing depends only on the level, so the same level always gives the same pixels. Signs and
// the banner are lettered through paint_kit's text (FreeType with DejaVu Sans Bold): the caller has
// opened it (kit::initText); without the font the picture is drawn without its letters.
#pragma once

#include "platform/bitmap_handle.h"
#include "world/level_file.h"

// The picture of `level`, level.width x level.height at 32 bits (its terrain painted here when
// level.solid is not). Throws BitmapCreationError when the library has no memory for it.
BitmapHandle paintStagePicture(Level level);
