#include "screens/winner_screen.h"

#include <allegro.h>

#include <algorithm>
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

// The first running frame of a sprite sheet, its top `height` rows, with the mask colour around
// the figure.
void drawRunner(const std::string& sheetPath, int x, int y, int height = kRunnerHeight) {
    BitmapHandle sheet = recordedLoadBitmap(kSheetName, sheetPath);
    BitmapHandle frame = recordedCreateBitmap(kFrameName, kRunnerWidth, height);
    recordedBlit(sheet.get(), kSheetName, frame.get(), kFrameName, 0, 0, 0, 0, kRunnerWidth,
                 height);
    recordedDrawSprite(screen, kScreenName, frame.get(), kFrameName, x, y);
    recordedDestroyBitmap(kFrameName, std::move(frame));
    recordedDestroyBitmap(kSheetName, std::move(sheet));
}

bool knownPlayer(int player, const std::vector<std::string>& runnerImages) {
    return player >= 1 && player <= static_cast<int>(runnerImages.size());
}

int digitCount(int number) { return number >= 10 ? 1 + digitCount(number / 10) : 1; }

// "FASE N" from the small labels, starting at (x, y); returns its width.
int drawStageLabel(int stage, int x, int y) {
    drawPicture("vencedor_fase", "Img/menu/fase_rotulo.bmp", x, y);
    const std::string digits = std::to_string(std::max(stage, 0));
    int digitX = x + kWinnerStageWordWidth;
    for (const char digit : digits) {
        drawPicture("vencedor_algarismo", std::string("Img/menu/algarismo_") + digit + ".bmp",
                    digitX, y);
        digitX += kWinnerDigitWidth;
    }
    return digitX - x;
}

// The arrivals of one stage in a panel whose first row is winnerRow(panel, 0, stageCount).
void drawPanel(const StageArrivals& stage, int panel, int stageCount,
               const std::vector<std::string>& runnerImages) {
    int place = 0;
    for (const int player : stage.players) {
        if (place == kWinnerMaxRows) break;
        if (!knownPlayer(player, runnerImages)) continue;
        const WinnerRow row = winnerRow(panel, place, stageCount);
        const std::string n = std::to_string(player);
        drawPicture("vencedor_lugar", "Img/menu/lugar_" + std::to_string(place + 1) + ".bmp",
                    row.x + kWinnerPlaceOffsetX, row.y + kWinnerLabelOffsetY);
        drawRunner(runnerImages[player - 1], row.x + kWinnerRunnerOffsetX, row.y);
        drawPicture("vencedor_jogador", "Img/menu/jogador_" + n + ".bmp",
                    row.x + kWinnerPlayerOffsetX, row.y + kWinnerLabelOffsetY);
        ++place;
    }
    if (place == 0) {
        const WinnerRow row = winnerRow(panel, 0, stageCount);
        drawPicture("vencedor_ninguem", "Img/menu/ninguem.bmp", row.x + kWinnerPlaceOffsetX,
                    row.y + kWinnerLabelOffsetY);
    }
}

// Stage 1 then stage 2: the picture carries both headings.
void drawClassicMatch(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages) {
    drawPicture("parabens", "Img/menu/parabens.jpg", 0, 0);
    for (int panel = 0; panel < 2; ++panel) drawPanel(arrivals[panel], panel, 2, runnerImages);
}

// One or two other stages: the panels, headed at run time.
void drawPanels(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages) {
    const int count = static_cast<int>(arrivals.size());
    drawPicture("parabens", "Img/menu/parabens_paineis_" + std::to_string(count) + ".jpg", 0, 0);
    for (int panel = 0; panel < count; ++panel) {
        const int stage = arrivals[panel].stage;
        const int width = kWinnerStageWordWidth + digitCount(stage) * kWinnerDigitWidth;
        const int panelX = winnerRow(panel, 0, count).x;
        drawStageLabel(stage, panelX + (kWinnerPanelWidth - width) / 2, kWinnerHeadingY);
        drawPanel(arrivals[panel], panel, count, runnerImages);
    }
}

// Three stages or more: one line a stage.
void drawTable(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages) {
    const int count = static_cast<int>(arrivals.size());
    drawPicture("parabens", "Img/menu/parabens_tabela.jpg", 0, 0);
    for (int lineIndex = 0; lineIndex < count; ++lineIndex) {
        const WinnerLine line = winnerLine(lineIndex, count);
        const int labelY = line.y + (line.runnerHeight - kWinnerSmallLabelHeight) / 2;
        drawStageLabel(arrivals[lineIndex].stage, kWinnerTableStageX, labelY);
        int place = 0;
        for (const int player : arrivals[lineIndex].players) {
            if (place == kWinnerMaxRows) break;
            if (!knownPlayer(player, runnerImages)) continue;
            const int x = winnerCellX(place);
            drawPicture("vencedor_lugar",
                        "Img/menu/lugar_pequeno_" + std::to_string(place + 1) + ".bmp", x, labelY);
            drawRunner(runnerImages[player - 1], x + kWinnerSmallPlaceWidth, line.y,
                       line.runnerHeight);
            drawPicture("vencedor_jogador",
                        "Img/menu/jogador_pequeno_" + std::to_string(player) + ".bmp",
                        x + kWinnerSmallPlaceWidth + kRunnerWidth, labelY);
            ++place;
        }
        if (place == 0) {
            drawPicture("vencedor_ninguem", "Img/menu/ninguem_pequeno.bmp", winnerCellX(0), labelY);
        }
    }
}

}  // namespace

bool isClassicMatch(const MatchArrivals& arrivals) {
    return arrivals.size() == 2 && arrivals[0].stage == 1 && arrivals[1].stage == 2;
}

WinnerRow winnerRow(int panel, int place, int stageCount) {
    const int x = stageCount == 1 ? kWinnerSinglePanelX : kWinnerPanelX + panel * kWinnerPanelStep;
    return {x, kWinnerFirstRowY + place * kWinnerRowStep};
}

WinnerLine winnerLine(int line, int stageCount) {
    const int room = kWinnerTableLastLineEnd - kWinnerTableFirstLineY;
    const int step = std::min(kWinnerTableLineStep, room / std::max(stageCount, 1));
    const int height = std::min(kRunnerHeight, step - 3);
    // The lines stand in the middle of the panel.
    const int top = kWinnerTableFirstLineY + (room - step * stageCount) / 2;
    return {top + line * step, step, height};
}

int winnerCellX(int place) { return kWinnerTableFirstCellX + place * kWinnerTableCellStep; }

void drawWinnerScreen(const MatchArrivals& arrivals, const std::vector<std::string>& runnerImages) {
    if (isClassicMatch(arrivals)) {
        drawClassicMatch(arrivals, runnerImages);
    } else if (arrivals.size() == 1 || arrivals.size() == 2) {
        drawPanels(arrivals, runnerImages);
    } else {
        drawTable(arrivals, runnerImages);
    }
    flushRecording();
}
