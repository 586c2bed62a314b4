// The winner picture of a match of chosen stages: one or two headed panels, or one line a stage
// from three on, every part inside the picture's panel and nothing over another.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/screen_fixture.h"
#include "screens/winner_layout.h"
#include "screens/winner_screen.h"
#include "world/stage_loading.h"

namespace {

void savePicture(const std::string& path, int width, int height, int colour) {
    BITMAP* picture = create_bitmap(width, height);
    clear_to_color(picture, bitmap_mask_color(picture));
    rectfill(picture, 1, 1, width - 2, height - 2, colour);
    save_bitmap(path.c_str(), picture, nullptr);
    destroy_bitmap(picture);
}

class WinnerLayouts : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        std::filesystem::create_directories("Img/Jogo");
        for (int i = 1; i <= 6; ++i) {
            savePicture("Img/Jogo/player" + std::to_string(i) + "a.bmp", 210, 96,
                        makecol(40 * i, 200, 60));
            const std::string k = std::to_string(i);
            savePicture("Img/menu/lugar_pequeno_" + k + ".bmp", kWinnerSmallPlaceWidth,
                        kWinnerSmallLabelHeight, placeColour());
            savePicture("Img/menu/jogador_pequeno_" + k + ".bmp", kWinnerSmallPlayerWidth,
                        kWinnerSmallLabelHeight, playerColour());
            savePicture("Img/menu/lugar_" + k + ".bmp", 44, 36, placeColour());
            savePicture("Img/menu/jogador_" + k + ".bmp", 150, 36, playerColour());
        }
        for (const char* name : {"parabens_paineis_1", "parabens_paineis_2", "parabens_tabela"})
            savePicture(std::string("Img/menu/") + name + ".jpg", 640, 480, makecol(250, 200, 0));
        savePicture("Img/menu/fase_rotulo.bmp", kWinnerStageWordWidth, kWinnerSmallLabelHeight,
                    makecol(200, 200, 200));
        savePicture("Img/menu/ninguem.bmp", 260, 36, nobodyColour());
        savePicture("Img/menu/ninguem_pequeno.bmp", kWinnerSmallNobodyWidth,
                    kWinnerSmallLabelHeight, nobodyColour());
    }
    static int placeColour() { return makecol(0, 220, 220); }
    static int playerColour() { return makecol(220, 0, 220); }
    static int nobodyColour() { return makecol(90, 90, 250); }
    const std::vector<std::string> sprites{"Img/Jogo/player1a.bmp", "Img/Jogo/player2a.bmp",
                                           "Img/Jogo/player3a.bmp"};
};

}  // namespace

TEST(WinnerTable, EveryLineFitsThePanelAndHoldsSixArrivals) {
    EXPECT_LE(winnerCellX(kWinnerMaxRows - 1) + kWinnerSmallPlaceWidth + kRunnerWidth +
                  kWinnerSmallPlayerWidth,
              kWinnerTableX + kWinnerTableWidth - 4)
        << "the sixth arrival ends inside the panel";
    EXPECT_LE(kWinnerTableStageX + kWinnerStageWordWidth + 2 * kWinnerDigitWidth, winnerCellX(0))
        << "\"FASE 12\" ends before the first arrival";
    for (int count = 3; count <= 12; ++count) {
        SCOPED_TRACE("stages: " + std::to_string(count));
        int previousEnd = kWinnerTableTop;
        for (int line = 0; line < count; ++line) {
            const WinnerLine shown = winnerLine(line, count);
            EXPECT_GE(shown.y, previousEnd) << "line " << line;
            EXPECT_GE(shown.runnerHeight, kWinnerSmallLabelHeight) << "the labels fit the line";
            EXPECT_LE(shown.runnerHeight, kRunnerHeight);
            EXPECT_LE(shown.runnerHeight, shown.height);
            previousEnd = shown.y + shown.runnerHeight;
        }
        EXPECT_LE(previousEnd, kWinnerTableBottom);
    }
    EXPECT_EQ(winnerLine(0, 6).runnerHeight, kRunnerHeight) << "up to six, whole characters";
}

TEST_F(WinnerLayouts, ThreeStagesAreThreeLinesWithTheSmallLabels) {
    drawWinnerScreen({{12, {2, 1}}, {3, {}}, {7, {3}}}, sprites);
    EXPECT_EQ(instructionsStartingWith("load_bitmap"),
              (std::vector<std::string>{
                  "load_bitmap parabens Img/menu/parabens_tabela.jpg",
                  "load_bitmap vencedor_fase Img/menu/fase_rotulo.bmp",
                  "load_bitmap vencedor_algarismo Img/menu/algarismo_1.bmp",
                  "load_bitmap vencedor_algarismo Img/menu/algarismo_2.bmp",
                  "load_bitmap vencedor_lugar Img/menu/lugar_pequeno_1.bmp",
                  "load_bitmap vencedor_folha Img/Jogo/player2a.bmp",
                  "load_bitmap vencedor_jogador Img/menu/jogador_pequeno_2.bmp",
                  "load_bitmap vencedor_lugar Img/menu/lugar_pequeno_2.bmp",
                  "load_bitmap vencedor_folha Img/Jogo/player1a.bmp",
                  "load_bitmap vencedor_jogador Img/menu/jogador_pequeno_1.bmp",
                  "load_bitmap vencedor_fase Img/menu/fase_rotulo.bmp",
                  "load_bitmap vencedor_algarismo Img/menu/algarismo_3.bmp",
                  "load_bitmap vencedor_ninguem Img/menu/ninguem_pequeno.bmp",
                  "load_bitmap vencedor_fase Img/menu/fase_rotulo.bmp",
                  "load_bitmap vencedor_algarismo Img/menu/algarismo_7.bmp",
                  "load_bitmap vencedor_lugar Img/menu/lugar_pequeno_1.bmp",
                  "load_bitmap vencedor_folha Img/Jogo/player3a.bmp",
                  "load_bitmap vencedor_jogador Img/menu/jogador_pequeno_3.bmp",
              }));
    const WinnerLine second = winnerLine(1, 3);
    const int labelY = second.y + (second.runnerHeight - kWinnerSmallLabelHeight) / 2;
    EXPECT_TRUE(looksLike(window, winnerCellX(0) + 20, labelY + 12, nobodyColour()));
    const WinnerLine first = winnerLine(0, 3);
    EXPECT_TRUE(looksLike(window, winnerCellX(1) + kWinnerSmallPlaceWidth + 20, first.y + 20,
                          makecol(40, 200, 60)))
        << "player 1's character second";
    EXPECT_EQ(countOf("create_bitmap vencedor_quadro 42 47"), 3u) << "whole characters";
    BITMAP* replayed = replayOnto(windowAtStart);
    EXPECT_EQ(differingPixels(window, replayed), 0);
    destroy_bitmap(replayed);
}

TEST_F(WinnerLayouts, TwelveStagesShowTheTopOfEachCharacter) {
    MatchArrivals arrivals;
    for (int stage = 1; stage <= 12; ++stage) arrivals.push_back({stage, {1}});
    drawWinnerScreen(arrivals, sprites);
    const int height = winnerLine(0, 12).runnerHeight;
    EXPECT_LT(height, kRunnerHeight);
    EXPECT_EQ(countOf("create_bitmap vencedor_quadro 42 " + std::to_string(height)), 12u);
    EXPECT_EQ(countOf("load_bitmap vencedor_algarismo Img/menu/algarismo_1.bmp"), 1u + 3u + 1u)
        << "1, 10, 11 (twice) and 12";
}

TEST_F(WinnerLayouts, OneOtherStageIsOnePanelInTheMiddleHeadedByItsNumber) {
    drawWinnerScreen({{9, {}}}, sprites);
    const WinnerRow row = winnerRow(0, 0, 1);
    EXPECT_EQ(row.x, kWinnerSinglePanelX);
    EXPECT_EQ(countOf("load_bitmap parabens Img/menu/parabens_paineis_1.jpg"), 1u);
    EXPECT_EQ(countOf("draw_sprite screen vencedor_fase " +
                      std::to_string(
                          kWinnerSinglePanelX +
                          (kWinnerPanelWidth - kWinnerStageWordWidth - kWinnerDigitWidth) / 2) +
                      " " + std::to_string(kWinnerHeadingY)),
              1u);
    EXPECT_TRUE(looksLike(window, row.x + kWinnerPlaceOffsetX + 20,
                          row.y + kWinnerLabelOffsetY + 20, nobodyColour()));
    EXPECT_FALSE(isClassicMatch({{1, {}}, {3, {}}}));
    EXPECT_TRUE(isClassicMatch({{1, {}}, {2, {}}}));
}
