#include "screens/local_session.h"

#include <allegro.h>

#include <string>
#include <vector>

#include "app/clock.h"
#include "app/graphics.h"
#include "screens/main_menu.h"
#include "screens/player_selection.h"
#include "screens/screen_image.h"
#include "screens/stage_run.h"
#include "stream/gravador_tela.h"
#include "stream/recorded_drawing.h"
#include "world/stage_loading.h"

namespace {

constexpr int kLeaveTheGame = 9;
constexpr int kIntervalMs = 2000;

}  // namespace

void showWinnerScreen() {
    BITMAP* picture = loadScreenImage("parabens", "Img/menu/parabens.jpg");
    recordedDrawSprite(screen, "screen", picture, "parabens", 0, 0);
    flushRecording();
    while (!key[KEY_ENTER]) restBetweenPolls();
    key[KEY_ENTER] = 0;
    recordedDestroyBitmap("parabens", picture);
}

void playLocalMatches(const StageData& stage1, const StageData& stage2) {
    for (;;) {
        const int playerCount = runMainMenu();
        if (playerCount == kLeaveTheGame || playerCount < 1 || playerCount > kCharacterCount)
            return;
        const std::optional<SpriteList> chosen = runPlayerSelection(playerCount);
        if (!chosen) continue;
        const std::vector<std::string> sprites(chosen->begin(), chosen->begin() + playerCount);

        if (playStage(1, stage1, sprites, playerCount) != StageOutcome::Won) continue;
        waitMoreThan(kIntervalMs);
        if (playStage(2, stage2, sprites, playerCount) != StageOutcome::Won) continue;
        showWinnerScreen();
    }
}

void runLocalSession() {
    if (!startGraphics()) return;
    GravadorTela::instance();
    playLocalMatches(stage1Data(), stage2Data());
    stopGraphics();
}
