#include "screens/screen_image.h"

#include <cstdio>

#include "stream/recorded_drawing.h"

BITMAP* loadScreenImage(const std::string& name, const std::string& path) {
    BITMAP* bitmap = recordedLoadBitmap(name, path);
    if (!bitmap && drawsLocally()) {
        std::printf("Imagem nao encontrada: %s\n", path.c_str());
        std::fflush(stdout);
    }
    return bitmap;
}

BITMAP* createScreenBuffer(const std::string& name, int width, int height, int colour) {
    BITMAP* bitmap = recordedCreateBitmap(name, width, height);
    if (bitmap) clear_to_color(bitmap, colour);
    return bitmap;
}
