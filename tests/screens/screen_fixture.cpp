#include "screens/screen_fixture.h"

#include <jpgalleg.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "stream/gravador_tela.h"
#include "stream/interpreter.h"
#include "support/pieces.h"

namespace fs = std::filesystem;

namespace {

struct PictureFile {
    std::string path;
    int width, height;
};

std::vector<PictureFile> allPictures() {
    std::vector<PictureFile> pictures{
        {"Img/menu/menu.jpg", 640, 480},
        {"Img/menu/chooseplayer.jpg", 153, 34},
        {"Img/menu/chooseplayer_2.jpg", 153, 34},
        {"Img/menu/integrantes.jpg", 122, 33},
        {"Img/menu/integrantes_2.jpg", 122, 33},
        {"Img/menu/instrucoes.jpg", 114, 33},
        {"Img/menu/instrucoes_2.jpg", 114, 33},
        {"Img/menu/sairdojogo.jpg", 133, 33},
        {"Img/menu/sairdojogo_2.jpg", 133, 33},
        {"Img/menu/bg_selecao.jpg", 640, 480},
        {"Img/menu/bg_instrucoes.jpg", 640, 480},
        {"Img/menu/bg_integrantes.jpg", 640, 480},
        {"Img/menu/pause.bmp", 640, 480},
        {"Img/menu/teclas.jpg", 90, 33},
        {"Img/menu/teclas_2.jpg", 90, 33},
        {"Img/menu/bg_teclas.jpg", 640, 480},
        {"Img/menu/teclas_vez.bmp", 440, 40},
        {"Img/menu/teclas_reservada.bmp", 440, 34},
        {"Img/menu/fases.jpg", 90, 33},
        {"Img/menu/fases_2.jpg", 90, 33},
        {"Img/menu/bg_fases.jpg", 640, 480},
        {"Img/menu/fases_vez.bmp", 540, 24},
        {"Img/menu/fases_problema.bmp", 228, 24},
        {"Img/menu/fases_sem_figura.bmp", 516, 24},
        {"Img/menu/fases_partida.bmp", 96, 24},
        {"Img/menu/fases_classica.bmp", 200, 24},
        {"Img/menu/fases_aleatorio.bmp", 100, 24},
    };
    for (int d = 0; d <= 9; ++d)
        pictures.push_back({"Img/menu/algarismo_" + std::to_string(d) + ".bmp", 14, 24});
    for (int i = 1; i <= 6; ++i)
        pictures.push_back({"Img/menu/teclas_usada_" + std::to_string(i) + ".bmp", 440, 34});
    for (const char* name : {"X", "M", "RIGHT", "A", "LCONTROL", "3", "Z", "Q"})
        pictures.push_back({std::string("Img/Jogo/Teclas/") + name + ".bmp", 72, 13});
    const int digitWidths[] = {13, 19, 20, 19, 19, 20};
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        pictures.push_back({"Img/menu/img" + n + ".jpg", digitWidths[i - 1], 33});
        pictures.push_back({"Img/menu/img" + n + "_2.jpg", digitWidths[i - 1], 33});
        pictures.push_back({"Img/menu/sel_j" + n + ".jpg", 70, 70});
        pictures.push_back({"Img/menu/sel_j" + n + "_2.jpg", 70, 70});
    }
    for (int i = 0; i <= 6; ++i)
        pictures.push_back({"Img/menu/sel_" + std::to_string(i) + ".jpg", 80, 80});
    return pictures;
}

void writePicture(const fs::path& root, const PictureFile& file) {
    BITMAP* picture = create_bitmap(file.width, file.height);
    const int colour = ScreenTestColour(file.path);
    const bool masked = file.path.size() > 4 && file.path.substr(file.path.size() - 4) == ".bmp";
    if (masked) {
        // A panel over the mask colour, like an overlay that lets the race show through.
        clear_to_color(picture, bitmap_mask_color(picture));
        rectfill(picture, 200, 180, 440, 300, colour);
    } else {
        clear_to_color(picture, colour);
        // A darker corner, so that a copy from the wrong source position shows.
        rectfill(picture, 0, 0, file.width / 4, file.height / 4,
                 makecol(getr(colour) / 2, getg(colour) / 2, getb(colour) / 2));
    }
    fs::create_directories((root / file.path).parent_path());
    save_bitmap((root / file.path).string().c_str(), picture, nullptr);
    destroy_bitmap(picture);
}

}  // namespace

int ScreenTestColour(const std::string& relativePath) {
    const size_t h = std::hash<std::string>{}(relativePath);
    return makecol(40 + static_cast<int>(h % 176), 40 + static_cast<int>((h / 176) % 176),
                   40 + static_cast<int>((h / 176 / 176) % 176));
}

void ScreenTest::SetUp() {
    jpgalleg_init();
    static int counter = 0;
    pictureRoot = fs::temp_directory_path() /
                  ("corrida_screens_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    for (const PictureFile& file : allPictures()) writePicture(pictureRoot, file);
    previousDirectory = fs::current_path();
    fs::current_path(pictureRoot);

    clearAllKeys();

    window = create_bitmap(640, 480);
    for (int y = 0; y < 480; ++y) hline(window, 0, y, 639, makecol(y / 2, 255 - y / 2, 90));
    windowAtStart = create_bitmap(640, 480);
    blit(window, windowAtStart, 0, 0, 0, 0, 640, 480);
    screen = window;

    GravadorTela::instance().flush();  // nothing from an earlier test
    tap.emplace(GravadorTela::instance(), [this](const std::string& batch, int64_t nowMs) {
        batches.push_back(batch);
        batchTimes.push_back(nowMs);
    });
}

void ScreenTest::TearDown() {
    KeyScript::stop();
    tap.reset();
    GravadorTela::instance().flush();
    screen = nullptr;
    destroy_bitmap(window);
    destroy_bitmap(windowAtStart);
    fs::current_path(previousDirectory);
    std::error_code ignored;
    fs::remove_all(pictureRoot, ignored);
}

std::vector<std::string> ScreenTest::instructions() {
    GravadorTela::instance().flush();
    std::vector<std::string> all;
    for (const std::string& batch : batches) {
        for (std::string& piece : piecesOf(batch)) all.push_back(std::move(piece));
    }
    return all;
}

std::vector<std::string> ScreenTest::instructionsStartingWith(const std::string& prefix,
                                                              size_t from) {
    std::vector<std::string> found;
    const std::vector<std::string> all = instructions();
    for (size_t i = from; i < all.size(); ++i) {
        if (all[i].compare(0, prefix.size(), prefix) == 0) found.push_back(all[i]);
    }
    return found;
}

size_t ScreenTest::countOf(const std::string& instruction) {
    size_t count = 0;
    for (const std::string& text : instructions()) count += text == instruction;
    return count;
}

BITMAP* ScreenTest::replayOnto(BITMAP* initialWindow) {
    GravadorTela::instance().flush();
    BITMAP* replayed = create_bitmap(640, 480);
    blit(initialWindow, replayed, 0, 0, 0, 0, 640, 480);
    {
        ListaBitmaps registry(replayed);
        for (const std::string& batch : batches) executeBatch(registry, batch);
        EXPECT_EQ(registry.size(), 1u) << "the screen left bitmaps behind on the receiver";
    }
    return replayed;
}

long ScreenTest::differingPixels(BITMAP* a, BITMAP* b) {
    long count = 0;
    for (int y = 0; y < a->h; ++y) {
        for (int x = 0; x < a->w; ++x) count += getpixel(a, x, y) != getpixel(b, x, y);
    }
    return count;
}

void ScreenTest::removePicture(const std::string& relativePath) {
    fs::remove(pictureRoot / relativePath);
}

int ScreenTest::pictureColour(const std::string& relativePath) {
    return ScreenTestColour(relativePath);
}

bool ScreenTest::looksLike(BITMAP* bitmap, int x, int y, int colour) {
    const int pixel = getpixel(bitmap, x, y);
    return std::abs(getr(pixel) - getr(colour)) <= 12 &&
           std::abs(getg(pixel) - getg(colour)) <= 12 && std::abs(getb(pixel) - getb(colour)) <= 12;
}
