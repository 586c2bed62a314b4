// The stages' pictures: each level file drawn by the game's stage painter (world/stage_painter.h),
// the same drawing the game makes of a player's own stage.
#include <filesystem>
#include <system_error>

#include "groups.h"
#include "level.h"
#include "style.h"
#include "world/paint_kit.h"
#include "world/stage_painter.h"

namespace {

bool writeStage(const std::string& path, const std::string& imgDir) {
    Level level;
    if (!loadLevel(path, level)) return false;
    const BitmapHandle picture = paintStagePicture(level);
    return kit::saveJpg(picture.get(), style::dataFilePath(imgDir, level.picturePath));
}

}  // namespace
// Every level file "stageN.txt" for N = 1, 2, ... until the first N without one.
bool writeStageImages(const std::string& assetsDir, const std::string& imgDir) {
    for (int stage = 1;; ++stage) {
        const std::string path = assetsDir + "/levels/stage" + std::to_string(stage) + ".txt";
        std::error_code error;
        if (stage > 2 && !std::filesystem::exists(path, error)) return true;
        if (!writeStage(path, imgDir)) return false;
    }
}
