#include "world/stage_list.h"

#include <filesystem>
#include <system_error>

#include "platform/console_report.h"
#include "world/stage_images.h"

namespace {

std::string stageFile(const std::string& folder, int number) {
    return folder + "/stage" + std::to_string(number) + ".txt";
}

}  // namespace

StageData stageDataOf(const Level& level) {
    StageData data;
    data.visualPath = level.picturePath;
    data.width = level.width;
    data.terrain = level.terrain;
    for (const LevelSpeedMarker& marker : level.speedMarkers)
        data.markers.push_back({marker.x, marker.speed});
    data.finishLine = {level.finish.x, level.finish.bottomY, level.finish.height};
    return data;
}

ListedStage readListedStage(int number, const std::string& path) {
    ListedStage stage;
    stage.number = number;
    stage.id = std::to_string(number);
    stage.path = path;
    stage.name = "fase " + std::to_string(number);
    std::string text, error;
    Level level;
    if (!readLevelText(path, text, error) || !readLevel(path, text, level, error)) {
        stage.data.problem = error;
        return stage;
    }
    if (level.height != kStageHeight) {
        stage.data.problem = path + ": a fase tem " + std::to_string(level.height) +
                             " linhas; o jogo usa " + std::to_string(kStageHeight);
        return stage;
    }
    stage.name = levelName(text, number);
    stage.data = stageDataOf(level);
    stage.theme = level.theme;
    stage.levelText = text;
    return stage;
}

std::vector<ListedStage> readStageFolder(const std::string& folder) {
    std::vector<ListedStage> stages;
    for (int number = 1; number <= kMaxListedStages; ++number) {
        const std::string path = stageFile(folder, number);
        std::error_code error;
        if (number > 2 && !std::filesystem::exists(path, error)) break;
        stages.push_back(readListedStage(number, path));
    }
    return stages;
}

const std::vector<ListedStage>& shippedStages() {
    static const std::vector<ListedStage> stages = [] {
        std::vector<ListedStage> read = readStageFolder(kShippedStageFolder);
        for (const ListedStage& stage : read)
            if (!stage.data.problem.empty())
                reportLine("Fase " + std::to_string(stage.number) + ": " + stage.data.problem);
        return read;
    }();
    return stages;
}

const ListedStage* findListedStage(const std::vector<ListedStage>& list, const std::string& word) {
    for (const ListedStage& stage : list)
        if (!word.empty() && stage.id == word) return &stage;
    const bool digits = !word.empty() && word.size() <= 3 &&
                        word.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) return nullptr;
    const int number = std::stoi(word);
    for (const ListedStage& stage : list)
        if (stage.number == number) return &stage;
    return nullptr;
}

const StageData& shippedStage(int number) {
    const std::vector<ListedStage>& stages = shippedStages();
    if (number >= 1 && number <= int(stages.size())) return stages[number - 1].data;
    static const StageData none = [] {
        StageData data;
        data.problem = "nao ha essa fase";
        return data;
    }();
    return none;
}

const StageData& stage1Data() { return shippedStage(1); }
const StageData& stage2Data() { return shippedStage(2); }
