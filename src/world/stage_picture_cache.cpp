#include "world/stage_picture_cache.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/cache_folder.h"
#include "platform/image_file.h"
#include "world/paint_kit.h"
#include "world/stage_painter.h"

#ifndef CORRIDA_FONT_DIR
#define CORRIDA_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace {

std::mutex paintingLock;

}  // namespace

bool stagePictureExists(const std::string& picturePath) {
    std::error_code error;
    return std::filesystem::exists(imageFileOf(picturePath), error);
}

bool drawStagePictureIntoCache(const Level& level, const std::string& picturePath,
                               std::string& error) {
    if (picturePath.compare(0, 4, "Img/") != 0 || !isCachePath(picturePath)) {
        error = "caminho de imagem recusado: " + picturePath;
        return false;
    }
    std::lock_guard<std::mutex> hold(paintingLock);
    static bool textOpen = false;
    if (!textOpen) textOpen = kit::initText(CORRIDA_FONT_DIR);
    try {
        const BitmapHandle picture = paintStagePicture(level);
        return storeInCache(
            picturePath, [&](const std::string& file) { return kit::saveJpg(picture.get(), file); },
            error);
    } catch (const BitmapCreationError& failed) {
        error = "falta memoria para uma imagem de " + std::to_string(failed.width) + " x " +
                std::to_string(failed.height);
        return false;
    }
}
