// Where the FASES screen's parts stand: shared by the image generator, which paints the panel, the
// two fixed rows and each shipped stage's row, and the screen, which draws the rows, the marker of
// the highlighted one and the match chosen so far at run time.
#pragma once

constexpr int kStagesPanelX = 50;
constexpr int kStagesPanelWidth = 540;
constexpr int kStagesFirstRowY = 82;  // top of the first row ("PARTIDA CLASSICA")
constexpr int kStagesRowStep = 25;
constexpr int kStagesRowHeight = 24;
// The two fixed rows, then the stages: at most this many stage rows are shown at once.
constexpr int kStagesFixedRows = 2;
constexpr int kStagesVisibleStageRows = 12;
// A stage row's picture (number, name, difficulty figure) and where it is drawn.
constexpr int kStagesRowPictureX = kStagesPanelX + 12;
constexpr int kStagesRowPictureWidth = 516;
// Where a row shows the stage's difficulty figure; a stage with a problem has the opaque "nao pode
// ser jogada" label over it.
constexpr int kStagesFigureX = kStagesRowPictureX + 230;
constexpr int kStagesProblemWidth = kStagesRowPictureWidth - 230;
// The random row's count of stages, right of its words.
constexpr int kStagesRandomCountX = kStagesPanelX + 150;
// The match chosen so far, under the rows: "PARTIDA:" and then what it is.
constexpr int kStagesMatchY = 440;
constexpr int kStagesMatchWordWidth = 96;
constexpr int kStagesMatchValueX = kStagesPanelX + 12 + kStagesMatchWordWidth;
constexpr int kStagesMatchStageGap = 10;  // between two stage numbers
constexpr int kStagesClassicWidth = 200;  // "fase 1 e fase 2"
constexpr int kStagesRandomWidth = 100;   // "aleatorio:"
