// Stage loading: turns a list of players into a ready-to-run stage.
//
// loadStage1 / loadStage2 show the loading screen (and flush it at once, so that clients show it
// while the stage is built), build the stage map with its camera, one runner per player at its
// start position (in the map's runner table, with its 5 ms key poll in local play), the stage's
// speed markers and its finish line. Creation order fixes ids and identity colours: camera, runners
// in player order, markers in table order, finish line.
//
// `spritePaths` holds at least `playerCount` sprite sheet paths in player order; `playerCount` is
// 1 to 6 (std::invalid_argument otherwise, before anything is drawn). The caller owns the returned
// map; deleting it releases the runners and their timers.
//
// Failure: loadStage lets the Mapa constructor's StageImageError and BitmapCreationError through;
// loadStageOrReport is the one place that turns them into console messages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "world/level_file.h"
#include "world/mapa.h"

struct SpeedMarker {
    int x;
    int speed;
};

struct FinishLine {
    int x;
    int bottomY;
    int height;
};

struct StageData {
    std::string visualPath;
    int width = 0;
    // The terrain commands the collision bitmap is painted from (world/collision_painting.h).
    std::vector<LevelRect> terrain;
    std::vector<SpeedMarker> markers;
    FinishLine finishLine{};
    // Why the stage's level file gave no stage ("fases/stage3.txt:12: linha invalida: ..."), or
    // "": loadStageOrReport reports it instead of loading.
    std::string problem = "";
};

struct StartPosition {
    int x;
    int y;
};

// The data of stage 1 and stage 2, read from the shipped level files (world/stage_list.h).
const StageData& stage1Data();
const StageData& stage2Data();
// Where player `playerNumber` (1 to 6) starts, in both stages.
StartPosition startPositionOf(int playerNumber);

constexpr int kRunnerWidth = 42;
constexpr int kRunnerHeight = 47;

std::unique_ptr<Mapa> loadStage(const StageData& stage, const std::vector<std::string>& spritePaths,
                                int playerCount);
// Why loadStageOrReport gave no stage. kNoDescriptors: an image could not be opened because the
// process had no file descriptor free; the same load may work a moment later.
enum class StageLoadFailure { kNone, kBrokenLevel, kBrokenImage, kNoMemory, kNoDescriptors };

// loadStage for the sessions: a stage whose level file could not be read is reported with its
// problem ("Nao foi possivel carregar a fase N: PROBLEM") and gives null; so is a stage whose
// images cannot be loaded is reported on the console
// ("Nao foi possivel carregar a fase N: imagem PATH nao encontrada.", or "... imagem PATH
// ilegivel." when the file is there but cannot be read) and gives null; so does one
// for whose bitmaps the library has no memory ("Nao foi possivel carregar a fase N: falta memoria
// para uma imagem de W x H."), and one whose image could not be opened for want of a descriptor
// ("Nao foi possivel carregar a fase N agora: faltam descritores de arquivo para abrir a imagem
// PATH (arquivos abertos demais)."). `failure`, when given, receives why.
std::unique_ptr<Mapa> loadStageOrReport(int stageNumber, const StageData& stage,
                                        const std::vector<std::string>& spritePaths,
                                        int playerCount, StageLoadFailure* failure = nullptr);
std::unique_ptr<Mapa> loadStage1(const std::vector<std::string>& spritePaths, int playerCount);
std::unique_ptr<Mapa> loadStage2(const std::vector<std::string>& spritePaths, int playerCount);
