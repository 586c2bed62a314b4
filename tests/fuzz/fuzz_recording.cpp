// Fuzz target: the reader of recording files and their playback, as "corrida rever" runs them on
// a file from anywhere.
//
// An input is the file: gzip-compressed when it starts with gzip's magic bytes (it then goes
// through the file reader, from a scratch file), else the plain text. The pictures it holds are
// played on a 640 x 480 memory bitmap with jumps forward, back and to the start, so the folding of
// bitmap changes that a jump does meets whatever the file holds. Loads find no picture files: the
// scratch folder is empty.
#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scratch_folder.h"
#include "stream/recording_file.h"
#include "stream/recording_player.h"

namespace {

std::filesystem::path scratchFolder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (install_allegro(SYSTEM_NONE, &errno, nullptr) != 0) return 1;
    set_color_depth(32);
    scratchFolder = enterScratchFolder("recording");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::optional<Recording> recording;
    if (size >= 2 && data[0] == 0x1f && data[1] == 0x8b) {
        std::ofstream(scratchFolder / "input.gz", std::ios::binary) << bytes;
        std::string error;
        recording = readRecordingFile((scratchFolder / "input.gz").string(), error);
    } else {
        recording = parseRecording(bytes);
    }
    if (!recording || recording->pictures.empty()) return 0;
    static BITMAP* window = create_bitmap(640, 480);
    RecordingPlayer player(std::move(*recording), window);
    const int64_t length = player.length();
    player.showUntil(length / 3);
    player.seek(length / 3 + 5000);
    player.showUntil(length / 3 + 5000);
    player.seek(length / 4);
    player.showUntil(length);
    player.seek(0);
    player.showUntil(0);
    return 0;
}
