// The image groups of the game, one writer per group. Each writes its files under the output Img/
// folder
// ("Jogo/..." and "menu/...") and returns false after printing what could not be written.
#pragma once

#include <string>

bool writeStageImages(const std::string& assetsDir, const std::string& imgDir);
bool writeRunnerImages(const std::string& imgDir);  // sprite sheets, countdown, mask pixel
bool writeKeyImages(const std::string& imgDir);
bool writeMenuImages(const std::string& imgDir);
bool writeKeysScreenImages(const std::string& imgDir);  // the TECLAS screen
bool writeSelectionImages(const std::string& imgDir);
bool writeInfoImages(
    const std::string& imgDir);  // instructions, credits, pause, waiting, prompt, loading
bool writeWinnerImages(const std::string& imgDir);  // winner picture
// The FASES screen, with a row for each shipped stage of assetsDir/levels.
bool writeStagesScreenImages(const std::string& assetsDir, const std::string& imgDir);
bool writePartyImages(const std::string& imgDir);  // the party's waiting screen (corrida festa)
