#include "world/collision_painting.h"

#include "world/objeto.h"

BitmapHandle paintCollisionBitmap(int width, int height, const std::vector<LevelRect>& terrain) {
    BitmapHandle bitmap = createBitmapOrThrow(width, height);
    Level level;
    level.width = width;
    level.height = height;
    level.terrain = terrain;
    paintTerrain(level);
    clear_to_color(bitmap.get(), freeColour());
    const int black = terrainColour();
    // One line per run of terrain in a row.
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = level.solid.data() + size_t(y) * width;
        for (int x = 0; x < width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            int end = x;
            while (end < width && row[end]) ++end;
            hline(bitmap.get(), x, y, end - 1, black);
            x = end;
        }
    }
    return bitmap;
}
