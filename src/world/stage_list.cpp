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

std::string stageNameIn(const std::string& text, const std::string& fallback) {
    const size_t end = text.find('\n');
    const std::string first = text.substr(0, end);
    if (first.compare(0, 1, "#") != 0) return fallback;
    const size_t colon = first.find(':');
    if (colon == std::string::npos) return fallback;
    std::string name = first.substr(colon + 1);
    name = name.substr(0, name.find('.'));
    const size_t start = name.find_first_not_of(' ');
    if (start == std::string::npos) return fallback;
    name = name.substr(start, 40);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~') c = '?';
    return name;
}

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
    stage.name = stageNameIn(text, stage.name);
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
