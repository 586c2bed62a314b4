#include "world/stage_loading.h"

#include <stdexcept>
#include <string>

#include "platform/console_report.h"
#include "platform/file_problem.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/boost_tela.h"
#include "world/flip_keys.h"
#include "world/linha_chegada.h"
#include "world/runner.h"
#include "world/stage_image_error.h"

namespace {

constexpr const char* kLoadingPicturePath = "Img/menu/bg_carregando.jpg";
constexpr const char* kLoadingPictureName = "carregando";

const StartPosition kStartPositions[kMaxPlayers] = {
    {270, 100}, {270, 155}, {270, 230}, {270, 285}, {220, 155}, {220, 285},
};

void showLoadingScreen() {
    BitmapHandle picture = recordedLoadBitmap(kLoadingPictureName, kLoadingPicturePath);
    recordedDrawSprite(screen, kScreenName, picture.get(), kLoadingPictureName, 0, 0);
    recordedDestroyBitmap(kLoadingPictureName, std::move(picture));
    flushRecording();
}

}  // namespace

StartPosition startPositionOf(int playerNumber) {
    if (playerNumber < 1 || playerNumber > kMaxPlayers) {
        throw std::out_of_range("player number");
    }
    return kStartPositions[playerNumber - 1];
}

std::unique_ptr<Mapa> loadStage(const StageData& stage, const std::vector<std::string>& spritePaths,
                                int playerCount) {
    if (playerCount < 1 || playerCount > kMaxPlayers ||
        spritePaths.size() < static_cast<size_t>(playerCount)) {
        throw std::invalid_argument("a stage takes 1 to 6 players, each with a sprite sheet");
    }
    if (!stage.problem.empty()) throw std::runtime_error(stage.problem);
    showLoadingScreen();
    auto map = std::make_unique<Mapa>(stage.visualPath, stage.width, stage.terrain);
    for (int player = 1; player <= playerCount; ++player) {
        const StartPosition start = startPositionOf(player);
        Runner& runner = map->addRunner(std::make_unique<Runner>(
            spritePaths[player - 1], kRunnerWidth, kRunnerHeight, false, player, start.x, start.y));
        if (drawsLocally()) startKeyPoll(&runner);
    }
    for (const SpeedMarker& marker : stage.markers) {
        map->addObject(std::make_unique<BoostTela>(marker.x, marker.speed));
    }
    const FinishLine& line = stage.finishLine;
    map->addObject(std::make_unique<LinhaChegada>(line.x, line.bottomY, line.height));
    return map;
}

std::unique_ptr<Mapa> loadStage1(const std::vector<std::string>& spritePaths, int playerCount) {
    return loadStage(stage1Data(), spritePaths, playerCount);
}

std::unique_ptr<Mapa> loadStage2(const std::vector<std::string>& spritePaths, int playerCount) {
    return loadStage(stage2Data(), spritePaths, playerCount);
}

std::unique_ptr<Mapa> loadStageOrReport(int stageNumber, const StageData& stage,
                                        const std::vector<std::string>& spritePaths,
                                        int playerCount, StageLoadFailure* failure) {
    StageLoadFailure ignored;
    StageLoadFailure& why = failure ? *failure : ignored;
    why = StageLoadFailure::kNone;
    const std::string stageName = "Nao foi possivel carregar a fase " + std::to_string(stageNumber);
    if (!stage.problem.empty()) {
        why = StageLoadFailure::kBrokenLevel;
        reportLine(stageName + ": " + stage.problem);
        return nullptr;
    }
    try {
        return loadStage(stage, spritePaths, playerCount);
    } catch (const StageImageError& failed) {
        const FileProblem problem = problemOf(failed.path);
        if (problem == FileProblem::kNoDescriptors) {
            why = StageLoadFailure::kNoDescriptors;
            reportLine(stageName + " agora: faltam descritores de arquivo para abrir a imagem " +
                       failed.path + " (arquivos abertos demais).");
            return nullptr;
        }
        why = StageLoadFailure::kBrokenImage;
        const bool missing = problem == FileProblem::kMissing;
        reportLine(stageName + ": imagem " + failed.path +
                   (missing ? " nao encontrada." : " ilegivel."));
        return nullptr;
    } catch (const BitmapCreationError& failed) {
        why = StageLoadFailure::kNoMemory;
        reportLine(stageName + ": falta memoria para uma imagem de " +
                   std::to_string(failed.width) + " x " + std::to_string(failed.height) + ".");
        return nullptr;
    }
}
