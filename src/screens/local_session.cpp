#include "screens/local_session.h"

#include <allegro.h>

#include <string>
#include <vector>

#include "platform/gamepads.h"
#include "platform/graphics.h"
#include "platform/player_limits.h"
#include "screens/main_menu.h"
#include "screens/player_selection.h"
#include "screens/stage_run.h"
#include "stream/gravador_tela.h"
#include "world/stage_loading.h"

namespace {

constexpr int kLeaveTheGame = 9;

}  // namespace

void playLocalMatches(const StageData& stage1, const StageData& stage2) {
    for (;;) {
        const int playerCount = runMainMenu();
        if (playerCount == kLeaveTheGame || playerCount < 1 || playerCount > kMaxPlayers) return;
        const std::optional<SpriteList> chosen = runPlayerSelection(playerCount);
        if (!chosen) continue;
        const std::vector<std::string> sprites(chosen->begin(), chosen->begin() + playerCount);

        LocalMatchRules rules;
        playMatch(stage1, stage2, StageEntrants{sprites, playerCount}, rules);
    }
}

void runLocalSession() {
    if (!startGraphics()) return;
    GravadorTela::instance();
    {
        GamepadSession pads;
        playLocalMatches(stage1Data(), stage2Data());
    }
    stopGraphics();
}
