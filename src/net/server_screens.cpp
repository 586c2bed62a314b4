#include "net/server_screens.h"

#include <allegro.h>

#include "platform/clock.h"
#include "platform/sound_player.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/recorded_drawing.h"
#include "world/mapa.h"

namespace {

void record(std::string instruction) {
    GravadorTela::instance().addInstruction(std::move(instruction));
}

}  // namespace

std::string waitingCountPath(int joined, int expected) {
    return "Img/menu/aguardando_" + std::to_string(joined) + "_" + std::to_string(expected) +
           ".bmp";
}

void showWaitingScreen(int joined, int expected) {
    BitmapHandle picture = recordedLoadBitmap("aguardando", "Img/menu/aguardando.bmp");
    recordedDrawSprite(screen, "screen", picture.get(), "aguardando", 0, 0);
    recordedDestroyBitmap("aguardando", std::move(picture));
    BitmapHandle count = recordedLoadBitmap("aguardando_n", waitingCountPath(joined, expected));
    recordedDrawSprite(screen, "screen", count.get(), "aguardando_n", kWaitingCountX,
                       kWaitingCountY);
    recordedDestroyBitmap("aguardando_n", std::move(count));
    flushRecording();
}

void showCountdown(Mapa& stage) {
    record(formatLoadBitmap("54321", "Img/Jogo/54321.bmp"));
    record(formatCreateBitmap("num", 100, 100));
    for (int offset = 400; offset > -100; offset -= 100) {
        stage.stillFrame();
        record(formatBlit("54321", "num", offset, 0, 0, 0, 100, 100));
        record(formatDrawSprite("screen", "num", 270, 190));
        recordedPlaySound(sound::kCountdownStep);
        flushRecording();
        waitMoreThan(kCountdownStepMs);
    }
    record(formatDestroyBitmap("54321"));
    record(formatDestroyBitmap("num"));
    recordedPlaySound(sound::kStart);
    recordedPlayMusic(sound::kRaceMusic);
}

void showServerWinnerScreen(const MatchArrivals& arrivals,
                            const std::vector<std::string>& runnerImages) {
    recordedPlayMusic(sound::kMenuMusic);
    drawWinnerScreen(arrivals, runnerImages);
    waitMoreThan(kWinnerScreenMs);
}
