// Fuzz target: the level description parser of the image generator. A person edits these files, so
// whatever a file holds, the parser either accepts a stage it can draw (its size within bounds, its
// terrain covering the stage exactly) or refuses it with a message that names the file and the
// line; it never crashes, and no legal file takes it long or much memory. (Which values each
// command accepts is the parser's own business, tested with it.)
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "level.h"

namespace {

std::string levelPath, messagePath;
int messageFile = -1;

void removeFiles() {
    std::remove(levelPath.c_str());
    std::remove(messagePath.c_str());
}

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_level: %s\n", what);
        std::abort();
    }
}

// Runs the parser with its messages (standard error) sent to the message file; returns them.
bool loadCapturingMessages(Level& level, std::string& messages) {
    std::fflush(stderr);
    const int savedError = dup(2);
    if (ftruncate(messageFile, 0) != 0 || lseek(messageFile, 0, SEEK_SET) != 0) std::abort();
    dup2(messageFile, 2);
    const bool loaded = loadLevel(levelPath, level);
    std::fflush(stderr);
    dup2(savedError, 2);
    close(savedError);
    std::ifstream in(messagePath);
    messages.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string stem = "/tmp/corrida_fuzz_level_" + std::to_string(getpid());
    levelPath = stem + ".txt";
    messagePath = stem + ".msg";
    messageFile = open(messagePath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (messageFile < 0) return 1;
    std::atexit(removeFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(levelPath, std::ios::binary | std::ios::trunc) << text;
    // One level for every input: it keeps its terrain's storage from one to the next, so an input
    // costs the parsing, not eight fresh megabytes of the default stage.
    static Level level;
    std::string messages;
    if (loadCapturingMessages(level, messages)) {
        check(messages.empty(), "a level accepted with a message");
        check(level.width > 0 && level.height > 0, "a stage without area");
        check(level.solid.size() == size_t(level.width) * level.height,
              "terrain not the stage's size");
    } else {
        // "<path>: ...", and "<path>:<line>: linha invalida: ..." with the number of a line of the
        // file when a line is at fault.
        const std::string prefix = levelPath + ":";
        check(messages.compare(0, prefix.size(), prefix) == 0, "a refusal without the file's name");
        if (messages.find("linha invalida") != std::string::npos) {
            const long line = std::strtol(messages.c_str() + prefix.size(), nullptr, 10);
            long lines = 1;
            for (const char c : text) lines += c == '\n';
            check(line >= 1 && line <= lines, "a refusal without the line's number");
        }
    }
    return 0;
}
