// Fuzz target: the command line. The input is the words after the program's name, one a line (so
// that the corpus stays text; a word may hold any other byte). Whatever the words, the reading ends
// with one action, and a mode to run comes with values it can trust: a server's 1 to 6 players and
// an address made of host-name characters, a recording to play that names a file, a window scale
// of 1 to 4 when given, an error text when refused.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

bool isHostWord(const std::string& word) {
    if (word.empty()) return false;
    for (const char c : word) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words;
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= input.size() && !input.empty()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        words.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    const CommandLine line = parseCommandLine(words);
    check(line.scale >= 0 && line.scale <= 4);
    check(line.params.spectators >= 0 && line.params.spectators <= Audience::kMostSpectators);
    // "--espectadores 64" leaves no mark: it is the usual number.
    const bool spectatorsGiven = std::any_of(words.begin(), words.end(), [](const std::string& w) {
        return w.rfind("--espectadores", 0) == 0;
    });
    switch (line.action) {
        case CommandLineAction::Error:
            check(!line.error.empty());
            break;
        case CommandLineAction::Run:
            check(line.error.empty());
            if (line.mode == Modo::Servidor) {
                check(line.params.numPlayers >= kMinPlayers &&
                      line.params.numPlayers <= kMaxPlayers);
            }
            if (line.mode == Modo::Rever) {
                check(!line.playbackPath.empty());
            } else if (line.mode != Modo::Local) {
                check(isHostWord(line.params.address));
            }
            break;
        case CommandLineAction::Dialogue:
            // Only options (which then leave their mark) leave the dialogue to run.
            check(words.empty() || line.scale != 0 || line.fullScreen ||
                  line.params.cheatsAllowed || !line.params.recordingPath.empty() ||
                  spectatorsGiven || line.params.webPort != 0 || !line.params.stages.empty() ||
                  !line.params.invitationAddress.empty() ||
                  (words.size() == 1 && words[0] == "--"));
            break;
        case CommandLineAction::Help:
        case CommandLineAction::Version:
            break;
    }
    if (!words.empty()) check(usageText(words[0]).find("uso: " + words[0]) == 0);
    return 0;
}
