#include "screens/stage_run.h"

#include <allegro.h>

#include <cstdio>
#include <memory>

#include "platform/clock.h"
#include "platform/sound_player.h"
#include "screens/pause_screen.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/flip_keys.h"
#include "world/mapa.h"
#include "world/runner_table.h"
#include "world/stage_loading.h"

namespace {

constexpr int kFrameGapMs = 33;
constexpr const char* kPromptName = "pressEnter";

void waitAtEnterPrompt() {
    BITMAP* prompt = loadScreenImage(kPromptName, "Img/menu/enter.bmp");
    recordedDrawSprite(screen, kScreenName, prompt, kPromptName, 0, 0);
    flushRecording();
    while (!key[KEY_ENTER]) restBetweenPolls();
    // Not flushed: they leave with the first frame.
    recordedDestroyBitmap(kPromptName, prompt);
    recordedPlaySound(sound::kStart);
    recordedPlayMusic(sound::kRaceMusic);
}

void raceUntilOver(Mapa& stage) {
    for (;;) {
        if (stage.finished || key[KEY_ESC] || key[KEY_F10]) return;
        const bool restart = stage.raceFrame();
        if (key[KEY_P]) {
            key[KEY_P] = 0;  // the pause waits for a new press
            showPauseScreen(pKeyPressed);
        }
        waitMoreThan(kFrameGapMs);
        flushRecording();
        if (restart) return;
    }
}

void releaseStage(std::unique_ptr<Mapa>& stage, int playerCount) {
    // No key timer may run on a runner once the stage has released it.
    for (int i = 0; i < playerCount && i < kMaxPlayers; ++i) {
        if (runnerTable[i]) stopKeyPoll(runnerTable[i]);
        runnerTable[i] = nullptr;
    }
    stage.reset();
}

}  // namespace

StageOutcome decideStageOutcome(int stageNumber, bool finished) {
    if (key[KEY_ESC]) {
        key[KEY_ESC] = 0;
        return StageOutcome::Abandoned;
    }
    if (stageNumber == 1 && finished) return StageOutcome::Won;
    if (key[KEY_F10]) {
        key[KEY_F10] = 0;
        return StageOutcome::Won;
    }
    return finished ? StageOutcome::Won : StageOutcome::Replay;
}

StageOutcome runStageAttempt(int stageNumber, const StageData& stage,
                             const std::vector<std::string>& sprites, int playerCount,
                             std::vector<int>* arrivals) {
    std::unique_ptr<Mapa> map = loadStageOrReport(stageNumber, stage, sprites, playerCount);
    if (!map) return StageOutcome::LoadFailed;
    map->raceFrame();  // the stage's first picture stands behind the prompt
    waitAtEnterPrompt();
    raceUntilOver(*map);
    const StageOutcome outcome = decideStageOutcome(stageNumber, map->finished);
    if (outcome == StageOutcome::Won && arrivals) *arrivals = map->arrivals;
    releaseStage(map, playerCount);
    return outcome;
}

StageOutcome playStage(int stageNumber, const StageData& stage,
                       const std::vector<std::string>& sprites, int playerCount,
                       std::vector<int>* arrivals) {
    StageOutcome outcome;
    do {
        outcome = runStageAttempt(stageNumber, stage, sprites, playerCount, arrivals);
    } while (outcome == StageOutcome::Replay);
    return outcome;
}
