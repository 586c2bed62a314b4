#include "screens/stage_run.h"

#include <allegro.h>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/sound_player.h"
#include "screens/pause_screen.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/mapa.h"

namespace {

constexpr const char* kPromptName = "pressEnter";

void waitAtEnterPrompt() {
    BitmapHandle prompt = loadScreenImage(kPromptName, "Img/menu/enter.bmp");
    recordedDrawSprite(screen, kScreenName, prompt.get(), kPromptName, 0, 0);
    flushRecording();
    while (!actionDown(Action::Confirm)) restBetweenPolls();
    // Taken, so that a pad's A that confirmed here does not flip its runner at the start as well.
    consumeAction(Action::Confirm);
    // Not flushed: they leave with the first frame.
    recordedDestroyBitmap(kPromptName, std::move(prompt));
    recordedPlaySound(sound::kStart);
    recordedPlayMusic(sound::kRaceMusic);
}

}  // namespace

StageOutcome decideStageOutcome(int stageNumber, bool finished) {
    if (actionDown(Action::Back)) {
        consumeAction(Action::Back);
        return StageOutcome::Abandoned;
    }
    if (stageNumber == 1 && finished) return StageOutcome::Won;
    if (actionDown(Action::Cheat)) {
        consumeAction(Action::Cheat);
        return StageOutcome::Won;
    }
    return finished ? StageOutcome::Won : StageOutcome::Replay;
}

void showWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& sprites) {
    recordedPlayMusic(sound::kMenuMusic);
    drawWinnerScreen(arrivals, sprites);
    while (!actionDown(Action::Confirm)) restBetweenPolls();
    consumeAction(Action::Confirm);
}

bool LocalMatchRules::prepareRace(int, Mapa& stage) {
    stage.raceFrame();  // the stage's first picture stands behind the prompt
    waitAtEnterPrompt();
    return true;
}

bool LocalMatchRules::raceInterrupted() {
    return actionDown(Action::Back) || actionDown(Action::Cheat);
}

bool LocalMatchRules::pauseRequested() {
    if (!actionDown(Action::Pause)) return false;
    consumeAction(Action::Pause);  // the pause waits for a new press
    return true;
}

bool LocalMatchRules::pauseEnded() { return pKeyPressed(); }

StageOutcome LocalMatchRules::decideOutcome(int stageNumber, bool finished) {
    return decideStageOutcome(stageNumber, finished);
}

void LocalMatchRules::showWinner(const MatchArrivals& arrivals, const StageEntrants& entrants) {
    showWinnerScreen(arrivals, entrants.sprites);
}

StageOutcome runStageAttempt(int stageNumber, const StageData& stage,
                             const std::vector<std::string>& sprites, int playerCount,
                             std::vector<int>* arrivals) {
    LocalMatchRules rules;
    return attemptStage(stageNumber, stage, StageEntrants{sprites, playerCount}, rules, arrivals);
}
