// native_replay_probe: the game client's own replay of a batch text, for the browser replayer's
// comparison test. Run from the folder that holds Img/.
//
//   native_replay_probe replay BATCHES OUT.bmp    replays BATCHES (one batch a line) on a black
//                                                 640 x 480 screen in memory, saves the screen
//   native_replay_probe decode Img/PATH OUT.bmp   saves a picture as the client decodes it
//
// Both write an uncompressed 24-bit BMP. The interpreter's console texts go to standard output.
#include <allegro.h>
#include <jpgalleg.h>

#include <cerrno>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/bitmap_handle.h"
#include "platform/image_file.h"
#include "stream/interpreter.h"

namespace {

int replay(const std::string& batchFile, const std::string& out) {
    std::ifstream batches(batchFile);
    if (!batches) {
        std::cerr << "cannot read " << batchFile << std::endl;
        return 1;
    }
    BitmapHandle window(create_bitmap(640, 480));
    clear_to_color(window.get(), makecol(0, 0, 0));
    {
        ListaBitmaps registry(window.get());
        std::string batch;
        while (std::getline(batches, batch)) executeBatch(registry, batch);
    }
    std::cout << std::flush;
    return save_bitmap(out.c_str(), window.get(), nullptr) == 0 ? 0 : 1;
}

int decode(const std::string& path, const std::string& out) {
    BitmapHandle picture = loadImageFile(path);
    if (!picture) {
        std::cerr << "cannot load " << path << std::endl;
        return 1;
    }
    return save_bitmap(out.c_str(), picture.get(), nullptr) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "replay" && mode != "decode") {
        std::cerr << "usage: native_replay_probe replay BATCHES OUT.bmp | decode Img/PATH OUT.bmp"
                  << std::endl;
        return 2;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    return mode == "replay" ? replay(argv[2], argv[3]) : decode(argv[2], argv[3]);
}
