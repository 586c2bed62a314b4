// A stage's picture drawn at run time into the cache (platform/cache_folder.h): a player's own
// stage the first time it is listed, or a stage whose level a client fetched from its server. The
// picture is the stage painter's (stage_painter.h), saved as JPEG as the image generator saves the
// shipped ones; the image loader then finds it in the cache under the same "Img/..." path.
//
// Painting takes a lock of its own (the painter's text is one per process); a stage's picture
// takes about a second.
#pragma once

#include <string>

#include "world/level_file.h"

// Draws `level`'s picture into the cache as `picturePath` (a cache path under "Img/"). False when
// it cannot, with `error` saying why.
bool drawStagePictureIntoCache(const Level& level, const std::string& picturePath,
                               std::string& error);

// Whether the data folder or the cache holds `picturePath` already.
bool stagePictureExists(const std::string& picturePath);
