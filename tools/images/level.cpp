#include "level.h"

#include <cstdio>

bool loadLevel(const std::string& path, Level& level) {
    std::string text, error;
    if (!readLevelText(path, text, error) || !readLevel(path, text, level, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    paintTerrain(level);
    return true;
}
