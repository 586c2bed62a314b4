// record_batches: plays one local match headless, with the game's real images and scripted keys,
// and writes every batch the screens recorded as seed inputs of the interpreter's fuzz target.
//
//   record_batches IMG_PARENT OUT_DIR
//
// IMG_PARENT is the folder holding the generated Img/ (a build folder). The match: the menu, two
// players chosen, stage 1 with flips, a pause, F10, the interval, stage 2, F10, the winner picture,
// the menu again, left with Esc (the winner picture says nobody crossed: F10 ends a stage won).
// OUT_DIR receives files "match_NNN.txt" of consecutive batches, one batch a line, cut where a
// screen starts loading its pictures; `-merge=1` then keeps those that add coverage.
#include <allegro.h>
#include <jpgalleg.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "screens/key_script.h"
#include "screens/local_session.h"
#include "stream/gravador_tela.h"
#include "support/batch_tap.h"
#include "world/stage_loading.h"

namespace {

void scriptTheMatch(KeyScript& keys) {
    keys.press(100, KEY_RIGHT)  // menu: two players
        .press(300, KEY_ENTER)
        .press(600, KEY_ENTER)  // first character
        .press(900, KEY_RIGHT)
        .press(1100, KEY_ENTER)   // second character
        .press(1500, KEY_ENTER)   // stage 1 prompt
        .press(2500, KEY_X)       // a flip
        .press(3000, KEY_P)       // pause ...
        .press(3600, KEY_P)       // ... and go on
        .press(4500, KEY_F10)     // stage 1 won
        .press(8000, KEY_ENTER)   // stage 2 prompt
        .press(10000, KEY_F10)    // stage 2 won
        .press(13500, KEY_ENTER)  // winner picture
        .press(15000, KEY_ESC);   // leave from the menu
}

// Cuts the batches into seed files: a new file where a batch loads a picture and the current file
// already holds a few batches, or when it grows past `maxBytes`.
void writeSeeds(const std::vector<std::string>& batches, const std::filesystem::path& out) {
    const size_t minBatches = 4, maxBytes = 3000;
    std::filesystem::create_directories(out);
    std::vector<std::string> files(1);
    size_t inFile = 0;
    for (const std::string& batch : batches) {
        if (batch.empty()) continue;
        const bool screenStarts = batch.find("load_bitmap") != std::string::npos;
        if ((screenStarts && inFile >= minBatches) ||
            files.back().size() + batch.size() > maxBytes) {
            files.emplace_back();
            inFile = 0;
        }
        files.back() += batch + "\n";
        ++inFile;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "match_%03zu.txt", i);
        std::ofstream(out / name) << files[i];
    }
    std::cout << batches.size() << " batches in " << files.size() << " files" << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "uso: record_batches PASTA_COM_IMG SAIDA" << std::endl;
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[2]);
    std::filesystem::current_path(argv[1]);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    screen = create_bitmap(640, 480);

    std::vector<std::string> batches;
    std::optional<BatchTap> tap(
        std::in_place, GravadorTela::instance(),
        [&](const std::string& batch, int64_t) { batches.push_back(batch); });
    KeyScript keys;
    scriptTheMatch(keys);
    keys.start(60000);
    try {
        playLocalMatches(stage1Data(), stage2Data());
    } catch (const TimeLimitReached& late) {
        std::cerr << "the match had not ended at " << late.nowMs << " ms" << std::endl;
    }
    KeyScript::stop();
    GravadorTela::instance().flush();
    tap.reset();
    destroy_bitmap(screen);
    screen = nullptr;
    writeSeeds(batches, out);
    return 0;
}
