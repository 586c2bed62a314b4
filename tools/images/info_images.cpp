// The information screens and overlays: instructions, credits, loading picture, and the two
// pictures drawn over a running stage with the mask colour around a panel (pause and the Enter
// prompt).
#include <string>
#include <vector>

#include "characters.h"
#include "groups.h"
#include "platform/window_size.h"
#include "style.h"
#include "world/paint_kit.h"

namespace {

// The count line of the waiting picture (the server's waiting screen draws it at the same size).
constexpr int kWaitingCountWidth = 300;
constexpr int kWaitingCountHeight = 40;

// Draws a key cap with its left edge at x; returns its width.
int keyCap(BITMAP* bmp, int x, int baseline, const std::string& label, kit::Rgb border) {
    kit::TextStyle text{"DejaVuSansCondensed-Bold.ttf", 16, style::kInk};
    const int w = std::max(28, kit::textWidth(label, text) + 14);
    kit::fillRoundedRect(bmp, x, baseline - 19, x + w, baseline + 6, 5, border);
    kit::fillRoundedRect(bmp, x + 2, baseline - 17, x + w - 2, baseline + 4, 4, {250, 250, 250});
    kit::drawText(bmp, label, x + w / 2, baseline, text, kit::Align::Center);
    return w;
}

bool writeInstructions(const std::string& imgDir) {
    const BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 3);
    kit::drawText(bg.get(), "INSTRUCOES", 320, 54, style::headingText(34), kit::Align::Center);
    style::paintPanel(bg.get(), 30, 72, 610, 446);
    const kit::TextStyle body = style::bodyText(15);
    const std::vector<std::string> lines = {
        "A tela anda sozinha e leva os corredores. Cada jogador tem uma",
        "tecla que inverte a gravidade: o corredor cai para o teto ou volta",
        "para o chao. So da para inverter com os pes apoiados.",
        "Esta fora quem ficar para tras, cair num buraco ou sair da tela.",
        "A fase termina quando alguem cruza a CHEGADA.",
    };
    int y = 100;
    for (const std::string& line : lines) {
        kit::drawText(bg.get(), line, 50, y, body);
        y += 22;
    }
    kit::drawText(bg.get(), "TECLAS DOS JOGADORES", 50, 226, style::itemText(17, true));
    const char* keys[6] = {"X", "M", "SETA DIREITA", "A", "CTRL", "3"};
    for (int p = 0; p < 6; ++p) {
        const int x = 50 + (p % 3) * 186, base = 262 + (p / 3) * 38;
        kit::fillCircle(bg.get(), x + 12, base - 6, 12, style::playerColour(p));
        kit::drawText(bg.get(), std::to_string(p + 1), x + 12, base,
                      {"DejaVuSans-Bold.ttf", 15, style::kInk}, kit::Align::Center);
        keyCap(bg.get(), x + 32, base, keys[p], style::playerColour(p));
    }
    kit::drawText(bg.get(), "OUTRAS TECLAS", 50, 350, style::itemText(17, true));
    const std::pair<const char*, const char*> others[6] = {
        {"ENTER", "larga a corrida"}, {"P", "pausa e continua"}, {"S", "som sim / nao"},
        {"ESC", "abandona a fase"},   {"F10", "pula a fase"},    {"", ""}};
    for (int i = 0; i < 5; ++i) {
        const int x = 50 + (i % 3) * 186, base = 384 + (i / 3) * 36;
        const int cap = keyCap(bg.get(), x, base, others[i].first, style::kPanelEdge);
        kit::drawText(bg.get(), others[i].second, x + cap + 8, base, style::bodyText(14));
    }
    kit::drawText(bg.get(), "ESC volta ao menu", 590, 436, style::bodyText(13, style::kHighlight),
                  kit::Align::Right);
    return kit::saveJpg(bg.get(), style::menuPath(imgDir, "bg_instrucoes.jpg"));
}

bool writeCredits(const std::string& imgDir) {
    const BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 4);
    kit::drawText(bg.get(), "CREDITOS", 320, 54, style::headingText(34), kit::Align::Center);
    style::paintPanel(bg.get(), 30, 72, 610, 446);
    kit::drawText(bg.get(), "CORRIDA", 320, 110, style::itemText(26, true), kit::Align::Center);
    kit::drawText(bg.get(), "corrida de gravidade invertida para 1 a 6 jogadores,", 320, 138,
                  style::bodyText(15), kit::Align::Center);
    kit::drawText(bg.get(), "no mesmo teclado ou em rede", 320, 158, style::bodyText(15),
                  kit::Align::Center);
    kit::drawText(bg.get(), "Feito pela equipe do projeto Corrida", 320, 190,
                  style::bodyText(15, style::kItemText), kit::Align::Center);
    kit::drawText(bg.get(), "BIBLIOTECAS USADAS", 50, 232, style::itemText(17, true));
    const std::pair<const char*, const char*> libraries[7] = {
        {"Allegro 4", "graficos, teclado e temporizadores"},
        {"JPGalleg", "leitura das imagens JPEG"},
        {"omniORB", "CORBA do jogo em rede"},
        {"FreeType", "desenho das letras das imagens"},
        {"Fontes DejaVu", "as letras de todas as telas"},
        {"GoogleTest", "testes automaticos"},
        {"Google Benchmark", "medidas de desempenho"},
    };
    for (int i = 0; i < 7; ++i) {
        const int base = 260 + i * 23;
        kit::drawText(bg.get(), libraries[i].first, 50, base,
                      {"DejaVuSans-Bold.ttf", 15, kit::kWhite});
        kit::drawText(bg.get(), libraries[i].second, 250, base,
                      style::bodyText(15, style::kItemText));
    }
    kit::drawText(bg.get(), "Todas as imagens sao geradas pelo proprio projeto.", 50, 434,
                  style::bodyText(13, style::kItemText));
    kit::drawText(bg.get(), "ESC volta ao menu", 590, 434, style::bodyText(13, style::kHighlight),
                  kit::Align::Right);
    return kit::saveJpg(bg.get(), style::menuPath(imgDir, "bg_integrantes.jpg"));
}

bool writeLoading(const std::string& imgDir) {
    const BitmapHandle bg = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kBlack);
    style::paintBackdrop(bg.get(), 5);
    style::paintTitle(bg.get(), "CORRIDA", 320, 110, 64);
    kit::drawText(bg.get(), "CARREGANDO...", 320, 228, style::headingText(40), kit::Align::Center);
    for (int c = 0; c < kMaxPlayers; ++c)
        drawCharacter(bg.get(), c, true, (c * 2) % 5, 90 + c * 80, 270, 1.4, false);
    kit::drawText(bg.get(), "Dica: inverta a gravidade antes do buraco, nao em cima dele.", 320,
                  420, style::bodyText(15, style::kItemText), kit::Align::Center);
    return kit::saveJpg(bg.get(), style::menuPath(imgDir, "bg_carregando.jpg"));
}

// An opaque panel in the middle of a mask-coloured window. Its outer edge is hard; everything
// inside it is drawn over the opaque panel and may be smooth.
BitmapHandle maskedPanel(int x1, int y1, int x2, int y2) {
    BitmapHandle bmp = kit::newCanvas(kWindowWidth, kWindowHeight, kit::kMagenta);
    kit::fillRoundedRect(bmp.get(), x1, y1, x2, y2, 16, style::kInk, false);
    kit::fillRoundedRect(bmp.get(), x1 + 3, y1 + 3, x2 - 3, y2 - 3, 13, style::kPanelEdge, false);
    kit::fillRoundedRect(bmp.get(), x1 + 6, y1 + 6, x2 - 6, y2 - 6, 10, style::kPanel, true);
    return bmp;
}

bool writePause(const std::string& imgDir) {
    // The race paused, locally or by any player of a network game (P there too).
    const BitmapHandle bmp = maskedPanel(160, 160, 480, 320);
    kit::drawText(bmp.get(), "PAUSA", 320, 222, style::headingText(46), kit::Align::Center);
    kit::drawText(bmp.get(), "Aperte P para continuar", 320, 256, style::bodyText(18),
                  kit::Align::Center);
    kit::drawText(bmp.get(), "A corrida fica parada ate la.", 320, 292,
                  style::bodyText(13, style::kItemText), kit::Align::Center);
    return kit::saveBmp(bmp.get(), style::menuPath(imgDir, "pause.bmp"));
}

// The network start: the server waits until every player has joined. The count line
// ("2 de 3 jogadores") is one of the count pictures, drawn over the blank band at rows 246..286.
bool writeWaiting(const std::string& imgDir) {
    const BitmapHandle bmp = maskedPanel(140, 150, 500, 330);
    kit::drawText(bmp.get(), "AGUARDANDO", 320, 206, style::headingText(40), kit::Align::Center);
    kit::drawText(bmp.get(), "os jogadores entrarem", 320, 234, style::bodyText(17),
                  kit::Align::Center);
    kit::drawText(bmp.get(), "A largada comeca quando todos estiverem aqui.", 320, 306,
                  style::bodyText(12, style::kItemText), kit::Align::Center);
    bool ok = kit::saveBmp(bmp.get(), style::menuPath(imgDir, "aguardando.bmp"));
    for (int expected = 1; ok && expected <= kMaxPlayers; ++expected) {
        for (int joined = 0; ok && joined <= expected; ++joined) {
            const BitmapHandle count =
                kit::newCanvas(kWaitingCountWidth, kWaitingCountHeight, style::kPanel);
            const std::string text = std::to_string(joined) + " de " + std::to_string(expected) +
                                     (expected == 1 ? " jogador" : " jogadores");
            kit::drawText(count.get(), text, kWaitingCountWidth / 2, 30,
                          style::itemText(26, joined == expected), kit::Align::Center);
            ok = kit::saveBmp(count.get(),
                              style::menuPath(imgDir, "aguardando_" + std::to_string(joined) + "_" +
                                                          std::to_string(expected) + ".bmp"));
        }
    }
    return ok;
}

bool writeEnterPrompt(const std::string& imgDir) {
    const BitmapHandle bmp = maskedPanel(116, 330, 524, 444);
    kit::drawText(bmp.get(), "APERTE ENTER", 320, 378, style::headingText(34), kit::Align::Center);
    kit::drawText(bmp.get(), "para largar. Boa corrida!", 320, 408, style::bodyText(17),
                  kit::Align::Center);
    kit::drawText(bmp.get(), "Cada um vira a gravidade com a tecla acima do corredor.", 320, 428,
                  style::bodyText(11, style::kItemText), kit::Align::Center);
    return kit::saveBmp(bmp.get(), style::menuPath(imgDir, "enter.bmp"));
}

}  // namespace

bool writeInfoImages(const std::string& imgDir) {
    return writeInstructions(imgDir) && writeCredits(imgDir) && writeLoading(imgDir) &&
           writePause(imgDir) && writeWaiting(imgDir) && writeEnterPrompt(imgDir);
}
