#include "net/server_screens.h"

#include <allegro.h>

#include "platform/clock.h"
#include "platform/sound_player.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/mapa.h"

namespace {

constexpr const char* kWaitingName = "aguardando";
constexpr const char* kWaitingCountName = "aguardando_n";
constexpr const char* kCountdownStripName = "54321";
constexpr const char* kCountdownCellName = "num";

void record(std::string instruction) {
    GravadorTela::instance().addInstruction(std::move(instruction));
}

}  // namespace

std::string waitingCountPath(int joined, int expected) {
    return "Img/menu/aguardando_" + std::to_string(joined) + "_" + std::to_string(expected) +
           ".bmp";
}

void showWaitingScreen(int joined, int expected) {
    BitmapHandle picture = recordedLoadBitmap(kWaitingName, "Img/menu/aguardando.bmp");
    recordedDrawSprite(screen, kScreenName, picture.get(), kWaitingName, 0, 0);
    recordedDestroyBitmap(kWaitingName, std::move(picture));
    BitmapHandle count = recordedLoadBitmap(kWaitingCountName, waitingCountPath(joined, expected));
    recordedDrawSprite(screen, kScreenName, count.get(), kWaitingCountName, kWaitingCountX,
                       kWaitingCountY);
    recordedDestroyBitmap(kWaitingCountName, std::move(count));
    flushRecording();
}

void showCountdown(Mapa& stage) {
    record(formatLoadBitmap(kCountdownStripName, "Img/Jogo/54321.bmp"));
    record(formatCreateBitmap(kCountdownCellName, 100, 100));
    for (int offset = 400; offset > -100; offset -= 100) {
        stage.stillFrame();
        record(formatBlit(kCountdownStripName, kCountdownCellName, offset, 0, 0, 0, 100, 100));
        record(formatDrawSprite(kScreenName, kCountdownCellName, 270, 190));
        recordedPlaySound(sound::kCountdownStep);
        flushRecording();
        waitMoreThan(kCountdownStepMs);
    }
    record(formatDestroyBitmap(kCountdownStripName));
    record(formatDestroyBitmap(kCountdownCellName));
    recordedPlaySound(sound::kStart);
    recordedPlayMusic(sound::kRaceMusic);
}

void showServerWinnerScreen(const MatchArrivals& arrivals,
                            const std::vector<std::string>& runnerImages) {
    recordedPlayMusic(sound::kMenuMusic);
    drawWinnerScreen(arrivals, runnerImages);
    waitMoreThan(kWinnerScreenMs);
}
