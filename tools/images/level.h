// The image generator's level loading: a level file read by the game's reader, its terrain painted.
#pragma once

#include <string>

#include "world/level_file.h"

// Reads the level file at `path` and paints its terrain; on failure prints the message on standard
// error and returns false.
bool loadLevel(const std::string& path, Level& level);
