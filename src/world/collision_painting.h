// The collision bitmap of a stage, painted in memory from its level's terrain: black (terrain) on
// white (free space), at the current colour depth. paintTerrain lays the terrain commands down in
// file order, the same painting the image generator draws the stage's picture over, so the
// collision edges and the picture's terrain edges agree pixel for pixel.
#pragma once

#include <vector>

#include "platform/bitmap_handle.h"
#include "world/level_file.h"

// A `width` x `height` bitmap with `terrain` painted in it. Throws BitmapCreationError when the
// library has no memory for it.
BitmapHandle paintCollisionBitmap(int width, int height, const std::vector<LevelRect>& terrain);
