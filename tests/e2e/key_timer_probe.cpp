// Loads stage 1 for two local players in a real window and checks the 5 ms key timers: a held flip
// key flips a grounded runner and is consumed, only that player's runner flips, and deleting the
// stage removes the timers. Run from the build directory (it reads Img/). Prints one line per
// check; the status is 0 only when all hold.
#include <allegro.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "world/runner.h"
#include "world/stage_image_error.h"
#include "world/stage_loading.h"

namespace {

// Waits up to `limitMs` for key[scanCode] to be consumed.
bool consumedWithin(int scanCode, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 5) {
        if (!key[scanCode]) return true;
        rest(5);
    }
    return !key[scanCode];
}

void setGrounded(Runner& runner, bool grounded) {
    Runner::MotionState state = runner.motionState();
    state.body.grounded = grounded;
    runner.restoreMotion(state);
}

bool check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FALHOU", what);
    return ok;
}

}  // namespace

int main() {
    if (!startGraphics()) return 1;
    const std::vector<std::string> sprites = {"Img/Jogo/player1a.bmp", "Img/Jogo/player2a.bmp"};
    bool ok = true;
    try {
        auto map = loadStage1(sprites, 2);
        Runner* first = map->runnerOf(1);
        Runner* second = map->runnerOf(2);
        ok &= check(first->keyPollRunning() && second->keyPollRunning(), "timers instalados");

        setGrounded(*first, false);
        key[KEY_X] = 1;
        rest(50);
        ok &= check(key[KEY_X] && first->gravity() == 1, "no ar a tecla espera");
        setGrounded(*first, true);
        ok &= check(consumedWithin(KEY_X, 500), "tecla X consumida pelo timer");
        ok &= check(first->gravity() == -1, "jogador 1 virou");
        ok &= check(second->gravity() == 1, "jogador 2 nao virou");

        map.reset();
        key[KEY_M] = 1;
        rest(50);
        ok &= check(key[KEY_M] != 0, "timers removidos com a fase");
        key[KEY_M] = 0;
    } catch (const StageImageError& failure) {
        std::printf("FALHOU: imagem da fase (%s)\n", failure.path.c_str());
        ok = false;
    }
    stopGraphics();
    return ok ? 0 : 1;
}
