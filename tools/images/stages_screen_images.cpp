// The FASES screen: its background (title, the panel, the two fixed rows, the keys' help), the
// marker of the highlighted row, a row for each shipped stage (number, name and the difficulty
// figure resolver_fases found, from assets/levels/dificuldade.txt), the row of a stage without a
// picture, the "cannot be played" label and the words of the match line under the rows.
#include <map>
#include <string>

#include "groups.h"
#include "platform/window_size.h"
#include "screens/stages_layout.h"
#include "style.h"
#include "world/level_file.h"
#include "world/paint_kit.h"
#include "world/stage_difficulty.h"

namespace {

int rowTop(int row) { return kStagesFirstRowY + row * kStagesRowStep; }
int baseline(int top) { return top + 18; }

bool writeBackground(const std::string& imgDir) {
    const BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 5);
    kit::drawText(bg.get(), "FASES", 320, 50, style::headingText(36), kit::Align::Center);
    kit::drawText(bg.get(),
                  "ENTER poe a fase na partida  -  ESQUERDA tira a ultima  -  ESC volta e grava",
                  320, 72, style::bodyText(13, style::kHighlight), kit::Align::Center);
    style::paintPanel(bg.get(), kStagesPanelX - 6, kStagesFirstRowY - 6,
                      kStagesPanelX + kStagesPanelWidth + 6, kStagesMatchY + 30);
    const int x = kStagesRowPictureX;
    kit::drawText(bg.get(), "PARTIDA CLASSICA: fase 1 e depois fase 2", x, baseline(rowTop(0)),
                  style::itemText(17, false));
    kit::drawText(bg.get(), "ALEATORIO:", x, baseline(rowTop(1)), style::itemText(17, false));
    kit::drawText(bg.get(), "fases sorteadas  (ESQUERDA e DIREITA mudam)", kStagesRandomCountX + 34,
                  baseline(rowTop(1)), style::bodyText(14, style::kItemText));
    return kit::saveJpg(bg.get(), style::menuPath(imgDir, "bg_fases.jpg"));
}

// A highlighted frame around a row, open inside (the mask colour).
bool writeMarker(const std::string& imgDir) {
    const BitmapHandle marker = kit::newCanvas(kStagesPanelWidth, kStagesRowHeight, kit::kMagenta);
    kit::fillRoundedRect(marker.get(), 0, 0, kStagesPanelWidth - 1, kStagesRowHeight - 1, 6,
                         style::kHighlight, false);
    kit::fillRoundedRect(marker.get(), 2, 2, kStagesPanelWidth - 3, kStagesRowHeight - 3, 5,
                         kit::kMagenta, false);
    return kit::saveBmp(marker.get(), style::menuPath(imgDir, "fases_vez.bmp"));
}

// Words on the panel's colour, which becomes the mask colour: only the letters cover the picture.
bool writeWords(const std::string& imgDir, const std::string& file, int width,
                const std::string& text, const kit::TextStyle& textStyle, int x = 2) {
    const BitmapHandle label = kit::newCanvas(width, kStagesRowHeight, style::kPanel);
    kit::drawText(label.get(), text, x, 18, textStyle);
    const int panel = kit::toAllegro(style::kPanel), mask = kit::toAllegro(kit::kMagenta);
    for (int y = 0; y < label->h; ++y)
        for (int column = 0; column < label->w; ++column)
            if (getpixel(label.get(), column, y) == panel) putpixel(label.get(), column, y, mask);
    return kit::saveBmp(label.get(), style::menuPath(imgDir, file));
}

// Opaque, so that it hides the figure a broken stage's row picture was drawn with.
bool writeProblem(const std::string& imgDir) {
    const BitmapHandle label = kit::newCanvas(kStagesProblemWidth, kStagesRowHeight, style::kPanel);
    kit::drawText(label.get(), "nao pode ser jogada", 0, 18, style::bodyText(14, {250, 110, 100}));
    return kit::saveBmp(label.get(), style::menuPath(imgDir, "fases_problema.bmp"));
}

// A shipped stage's row: its number, its name and its difficulty figure (or none known).
bool writeStageRow(const std::string& assetsDir, const std::string& imgDir, int number,
                   const std::map<int, StageDifficulty>& figures) {
    const std::string path = assetsDir + "/levels/stage" + std::to_string(number) + ".txt";
    std::string text, error;
    if (!readLevelText(path, text, error)) return false;
    const BitmapHandle row =
        kit::newCanvas(kStagesRowPictureWidth, kStagesRowHeight, style::kPanel);
    kit::drawText(row.get(), std::to_string(number), 26, 18, style::itemText(17, true),
                  kit::Align::Right);
    kit::drawText(row.get(), levelName(text, number), 40, 18, style::itemText(17, false));
    const auto figure = figures.find(number);
    kit::drawText(
        row.get(),
        figure == figures.end() ? "dificuldade desconhecida" : difficultyText(figure->second),
        kStagesFigureX - kStagesRowPictureX, 18, style::bodyText(13, style::kItemText));
    return kit::saveBmp(row.get(),
                        style::menuPath(imgDir, "fase_linha_" + std::to_string(number) + ".bmp"));
}

}  // namespace

bool writeStagesScreenImages(const std::string& assetsDir, const std::string& imgDir) {
    bool ok = writeBackground(imgDir) && writeMarker(imgDir) && writeProblem(imgDir) &&
              writeWords(imgDir, "fases_sem_figura.bmp", kStagesRowPictureWidth, "fase sem figura",
                         style::itemText(17, false), 40) &&
              writeWords(imgDir, "fases_partida.bmp", kStagesMatchWordWidth,
                         "PARTIDA:", style::itemText(17, true)) &&
              writeWords(imgDir, "fases_classica.bmp", kStagesClassicWidth, "fase 1 e fase 2",
                         style::itemText(17, false)) &&
              writeWords(imgDir, "fases_aleatorio.bmp", kStagesRandomWidth,
                         "aleatorio:", style::itemText(17, false));
    const std::map<int, StageDifficulty> figures =
        readStageDifficulties(assetsDir + "/levels/dificuldade.txt");
    for (int number = 1; ok; ++number) {
        std::string text, error;
        if (!readLevelText(assetsDir + "/levels/stage" + std::to_string(number) + ".txt", text,
                           error))
            break;
        ok = writeStageRow(assetsDir, imgDir, number, figures);
    }
    return ok;
}
