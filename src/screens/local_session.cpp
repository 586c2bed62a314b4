#include "screens/local_session.h"

#include <allegro.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/graphics.h"
#include "platform/player_limits.h"
#include "platform/sound_player.h"
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

void showWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& sprites) {
    recordedPlayMusic(sound::kMenuMusic);
    drawWinnerScreen(arrivals, sprites);
    while (!key[KEY_ENTER]) restBetweenPolls();
    key[KEY_ENTER] = 0;
}

void playLocalMatches(const StageData& stage1, const StageData& stage2) {
    for (;;) {
        const int playerCount = runMainMenu();
        if (playerCount == kLeaveTheGame || playerCount < 1 || playerCount > kMaxPlayers) return;
        const std::optional<SpriteList> chosen = runPlayerSelection(playerCount);
        if (!chosen) continue;
        const std::vector<std::string> sprites(chosen->begin(), chosen->begin() + playerCount);

        MatchArrivals arrivals;
        if (playStage(1, stage1, sprites, playerCount, &arrivals[0]) != StageOutcome::Won) continue;
        waitMoreThan(kIntervalMs);
        if (playStage(2, stage2, sprites, playerCount, &arrivals[1]) != StageOutcome::Won) continue;
        showWinnerScreen(arrivals, sprites);
    }
}

void runLocalSession() {
    if (!startGraphics()) return;
    GravadorTela::instance();
    playLocalMatches(stage1Data(), stage2Data());
    stopGraphics();
}
