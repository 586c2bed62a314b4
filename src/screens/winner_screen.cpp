#include "screens/winner_screen.h"

#include <allegro.h>

#include <utility>

#include "screens/winner_layout.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"
#include "world/stage_loading.h"

namespace {

constexpr const char* kSheetName = "vencedor_folha";
constexpr const char* kFrameName = "vencedor_quadro";

// A picture loaded, drawn on the window at (x, y) and released again.
void drawPicture(const std::string& name, const std::string& path, int x, int y) {
    BitmapHandle picture = recordedLoadBitmap(name, path);
    recordedDrawSprite(screen, kScreenName, picture.get(), name, x, y);
    recordedDestroyBitmap(name, std::move(picture));
}

// The first running frame of a sprite sheet, with the mask colour around the figure.
void drawRunner(const std::string& sheetPath, int x, int y) {
    BitmapHandle sheet = recordedLoadBitmap(kSheetName, sheetPath);
    BitmapHandle frame = recordedCreateBitmap(kFrameName, kRunnerWidth, kRunnerHeight);
    recordedBlit(sheet.get(), kSheetName, frame.get(), kFrameName, 0, 0, 0, 0, kRunnerWidth,
                 kRunnerHeight);
    recordedDrawSprite(screen, kScreenName, frame.get(), kFrameName, x, y);
    recordedDestroyBitmap(kFrameName, std::move(frame));
    recordedDestroyBitmap(kSheetName, std::move(sheet));
}

}  // namespace

WinnerRow winnerRow(int stage, int place) {
    return {kWinnerPanelX + stage * kWinnerPanelStep, kWinnerFirstRowY + place * kWinnerRowStep};
}

void drawWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages) {
    drawPicture("parabens", "Img/menu/parabens.jpg", 0, 0);
    for (int stage = 0; stage < 2; ++stage) {
        int place = 0;
        for (const int player : arrivals[stage]) {
            if (place == kWinnerMaxRows) break;
            if (player < 1 || player > static_cast<int>(runnerImages.size())) continue;
            const WinnerRow row = winnerRow(stage, place);
            const std::string n = std::to_string(player);
            drawPicture("vencedor_lugar", "Img/menu/lugar_" + std::to_string(place + 1) + ".bmp",
                        row.x + kWinnerPlaceOffsetX, row.y + kWinnerLabelOffsetY);
            drawRunner(runnerImages[player - 1], row.x + kWinnerRunnerOffsetX, row.y);
            drawPicture("vencedor_jogador", "Img/menu/jogador_" + n + ".bmp",
                        row.x + kWinnerPlayerOffsetX, row.y + kWinnerLabelOffsetY);
            ++place;
        }
        if (place == 0) {
            const WinnerRow row = winnerRow(stage, 0);
            drawPicture("vencedor_ninguem", "Img/menu/ninguem.bmp", row.x + kWinnerPlaceOffsetX,
                        row.y + kWinnerLabelOffsetY);
        }
    }
    flushRecording();
}
