#include "screens/screen_image.h"

#include "platform/console_report.h"
#include "stream/recorded_drawing.h"

BitmapHandle loadScreenImage(const std::string& name, const std::string& path) {
    BitmapHandle bitmap = recordedLoadBitmap(name, path);
    if (!bitmap && drawsLocally()) reportLine("Imagem nao encontrada: " + path);
    return bitmap;
}

BitmapHandle createScreenBuffer(const std::string& name, int width, int height, int colour) {
    BitmapHandle bitmap = recordedCreateBitmap(name, width, height);
    if (bitmap) clear_to_color(bitmap.get(), colour);
    return bitmap;
}
