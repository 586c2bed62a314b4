// Fuzz target: the batch interpreter, as a client runs it on the texts a server sends.
//
// An input is one or more batches, one a line, carried out in order on one bitmap table whose
// "screen" is a 640 x 480 memory bitmap; the table is destroyed after each input, so no bitmap
// outlives the input that made it. Pictures load from a scratch folder made at start-up, holding a
// few tiny pictures under names the game's stream uses (one of each format the game ships, and an
// empty file), so a load can reach nothing else on the machine.
//
// Every piece is also read by the stream's reader alone: what it reads must write back to a text
// that reads the same (the writer is the reader's inverse), or the target aborts.
#include <allegro.h>
#include <jpgalleg.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scratch_folder.h"
#include "stream/instruction_text.h"
#include "stream/interpreter.h"

namespace {

namespace fs = std::filesystem;

void writePicture(const std::string& path, int width, int height, int colour) {
    fs::create_directories(fs::path(path).parent_path());
    BITMAP* picture = create_bitmap(width, height);
    clear_to_color(picture, bitmap_mask_color(picture));
    rectfill(picture, 1, 1, width - 2, height - 2, colour);
    const bool saved = path.size() > 4 && path.substr(path.size() - 4) == ".jpg"
                           ? save_jpg(path.c_str(), picture, nullptr) == 0
                           : save_bitmap(path.c_str(), picture, nullptr) == 0;
    destroy_bitmap(picture);
    if (!saved) {
        std::fprintf(stderr, "fuzz_interpreter: could not write %s\n", path.c_str());
        std::exit(1);
    }
}

void makeScratchTree() {
    enterScratchFolder("interpreter");
    writePicture("Img/menu/menu.jpg", 32, 24, makecol(200, 40, 40));
    writePicture("Img/menu/pause.bmp", 32, 24, makecol(40, 200, 40));
    writePicture("Img/menu/parabens.jpg", 16, 12, makecol(250, 200, 0));
    writePicture("Img/Jogo/player1a.bmp", 21, 10, makecol(40, 40, 200));
    writePicture("Img/Jogo/1.bmp", 6, 6, makecol(200, 200, 40));
    writePicture("Img/Jogo/visual1.jpg", 64, 48, makecol(90, 160, 220));
    writePicture("Img/Jogo/pixelTransparente.bmp", 1, 1, makecol(255, 0, 255));
    writePicture("Img/menu/enter.bmp", 24, 8, makecol(250, 250, 250));
    writePicture("Img/Jogo/tile.pcx", 8, 8, makecol(120, 30, 160));
    writePicture("Img/Jogo/tile.tga", 8, 8, makecol(30, 160, 120));
    std::ofstream("Img/menu/vazio.bmp");  // an empty file: its load fails
}

// Each instruction read from `text`, written and read again, writes the same text.
void checkRoundTrip(const std::string& text) {
    forEachInstruction(text, [](const Instruction& instruction, std::string_view) {
        const std::string written = formatInstruction(instruction);
        if (written.empty()) return;  // too long to write: long names and numbers together
        const std::optional<Instruction> again = parseInstruction(written);
        if (!again || formatInstruction(*again) != written) std::abort();
    });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    makeScratchTree();
    screen = create_bitmap(640, 480);
    // The interpreter reports problems on standard output; at a million inputs that is noise.
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(input);
    ListaBitmaps registry(screen);
    size_t start = 0;
    while (start < input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        executeBatch(registry, input.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
