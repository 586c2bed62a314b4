#include "screens/screen_image.h"

#include "stream/recorded_drawing.h"

BitmapHandle loadScreenImage(const std::string& name, const std::string& path) {
    return recordedLoadBitmap(name, path);
}

BitmapHandle createScreenBuffer(const std::string& name, int width, int height, int colour) {
    BitmapHandle bitmap = recordedCreateBitmap(name, width, height);
    if (bitmap) clear_to_color(bitmap.get(), colour);
    return bitmap;
}
