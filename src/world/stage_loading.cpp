#include "world/stage_loading.h"

#include <stdexcept>
#include <string>

#include "platform/console_report.h"
#include "stream/recorded_drawing.h"
#include "world/boost_tela.h"
#include "world/flip_keys.h"
#include "world/linha_chegada.h"
#include "world/runner.h"
#include "world/runner_table.h"
#include "world/stage_image_error.h"

namespace {

constexpr const char* kLoadingPicturePath = "Img/menu/bg_carregando.jpg";

const StartPosition kStartPositions[kRunnerTableSize] = {
    {270, 100}, {270, 155}, {270, 230}, {270, 285}, {220, 155}, {220, 285},
};

void showLoadingScreen() {
    BitmapHandle picture = recordedLoadBitmap("carregando", kLoadingPicturePath);
    recordedDrawSprite(screen, "screen", picture.get(), "carregando", 0, 0);
    recordedDestroyBitmap("carregando", std::move(picture));
    flushRecording();
}

}  // namespace

const StageData& stage1Data() {
    static const StageData stage{"Img/Jogo/visual1.jpg",
                                 "Img/Jogo/mapa_colisao1.bmp",
                                 18000,
                                 {{2, 10}, {5000, 13}, {10400, 15}, {14000, 30}, {16700, 15}},
                                 {17626, 421, 40}};
    return stage;
}

const StageData& stage2Data() {
    static const StageData stage{
        "Img/Jogo/visual2.jpg",
        "Img/Jogo/mapacolisao2.bmp",
        18000,
        {{2, 11}, {5550, 20}, {9250, 12}, {13000, 18}, {14850, 25}, {15370, 18}},
        {16427, 440, 75}};
    return stage;
}

StartPosition startPositionOf(int playerNumber) {
    if (playerNumber < 1 || playerNumber > kRunnerTableSize) {
        throw std::out_of_range("player number");
    }
    return kStartPositions[playerNumber - 1];
}

std::unique_ptr<Mapa> loadStage(const StageData& stage, const std::vector<std::string>& spritePaths,
                                int playerCount) {
    if (playerCount < 1 || playerCount > kRunnerTableSize ||
        spritePaths.size() < static_cast<size_t>(playerCount)) {
        throw std::invalid_argument("a stage takes 1 to 6 players, each with a sprite sheet");
    }
    showLoadingScreen();
    auto map = std::make_unique<Mapa>(stage.visualPath, stage.collisionPath, stage.width);
    for (int player = 1; player <= playerCount; ++player) {
        const StartPosition start = startPositionOf(player);
        Runner& runner = map->addRunner(std::make_unique<Runner>(
            spritePaths[player - 1], kRunnerWidth, kRunnerHeight, false, player, start.x, start.y));
        runnerTable[player - 1] = &runner;
        if (drawsLocally()) startKeyPoll(&runner);
    }
    for (const SpeedMarker& marker : stage.markers) {
        map->addObject(std::make_unique<BoostTela>(marker.x, marker.speed), "boostTela");
    }
    const FinishLine& line = stage.finishLine;
    map->addObject(std::make_unique<LinhaChegada>(line.x, line.bottomY, line.height),
                   "linhaChegada");
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
                                        int playerCount) {
    try {
        return loadStage(stage, spritePaths, playerCount);
    } catch (const StageImageError& failure) {
        reportLine("Nao foi possivel carregar a fase " + std::to_string(stageNumber) + ": imagem " +
                   failure.path + " nao encontrada.");
        return nullptr;
    } catch (const BitmapCreationError& failure) {
        reportLine("Nao foi possivel carregar a fase " + std::to_string(stageNumber) +
                   ": falta memoria para uma imagem de " + std::to_string(failure.width) + " x " +
                   std::to_string(failure.height) + ".");
        return nullptr;
    }
}
