// Fuzz target: the game's level reader. A level file is outside input (a player may write one), so
// whatever it holds, the reader either accepts a stage the game can load and the image generator
// can draw (its size within bounds, every terrain rectangle inside it, at most the commands and
// bytes allowed) or refuses it with a message that names the file, and the line when a line is at
// fault; it never crashes, and no input takes it long or much memory. The same holds when the
// picture line is not required (a player's own stage, a level a server sent), which accepts at
// least what the shipped stages' reading does.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "world/level_file.h"

namespace {

const std::string kSource = "fases/stage3.txt";

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_level: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // One level for every input: it keeps its terrain's storage from one to the next.
    static Level level;
    static Level own;
    std::string error, ownError;
    const bool accepted = readLevel(kSource, text, level, error);
    const bool ownAccepted = readLevel(kSource, text, own, ownError, false);
    check(!accepted || ownAccepted, "a level refused once its picture is not required");
    check(ownAccepted || ownError.compare(0, kSource.size() + 1, kSource + ":") == 0,
          "an own stage's refusal without the file's name");
    if (accepted) {
        check(text.size() <= kMaxLevelBytes, "too large a text accepted");
        check(level.width > 0 && level.height > 0, "a stage without area");
        check(level.terrain.size() <= size_t(kMaxLevelCommands), "more rectangles than commands");
        for (const LevelRect& r : level.terrain)
            check(r.x1 >= 0 && r.x1 < r.x2 && r.x2 <= level.width && r.y1 >= 0 && r.y1 < r.y2 &&
                      r.y2 <= level.height,
                  "a rectangle outside the stage");
        paintTerrain(level);
        check(level.solid.size() == size_t(level.width) * level.height,
              "terrain not the stage's size");
    } else {
        // "<path>: ...", and "<path>:<line>: ..." with the number of a line of the file when a
        // line is at fault.
        const std::string prefix = kSource + ":";
        check(error.compare(0, prefix.size(), prefix) == 0, "a refusal without the file's name");
        const bool lineAtFault = error.find(": linha invalida: ") != std::string::npos ||
                                 error.find(": linha longa demais") != std::string::npos ||
                                 error.find(": comandos demais") != std::string::npos;
        if (lineAtFault) {
            const long line = std::strtol(error.c_str() + prefix.size(), nullptr, 10);
            long lines = 1;
            for (const char c : text) lines += c == '\n';
            check(line >= 1 && line <= lines, "a refusal without the line's number");
        }
    }
    return 0;
}
