#include "screens/stage_run.h"

#include <allegro.h>

#include "platform/clock.h"
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
    while (!key[KEY_ENTER]) restBetweenPolls();
    // Not flushed: they leave with the first frame.
    recordedDestroyBitmap(kPromptName, std::move(prompt));
    recordedPlaySound(sound::kStart);
    recordedPlayMusic(sound::kRaceMusic);
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

void showWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& sprites) {
    recordedPlayMusic(sound::kMenuMusic);
    drawWinnerScreen(arrivals, sprites);
    while (!key[KEY_ENTER]) restBetweenPolls();
    key[KEY_ENTER] = 0;
}

bool LocalMatchRules::prepareRace(int, Mapa& stage) {
    stage.raceFrame();  // the stage's first picture stands behind the prompt
    waitAtEnterPrompt();
    return true;
}

bool LocalMatchRules::raceInterrupted() { return key[KEY_ESC] || key[KEY_F10]; }

bool LocalMatchRules::pauseRequested() {
    if (!key[KEY_P]) return false;
    key[KEY_P] = 0;  // the pause waits for a new press
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
