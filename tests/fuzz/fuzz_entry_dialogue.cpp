// Fuzz target: the console dialogue that starts the program, fed the input as its standard input,
// then the closing prompt on what is left. Whatever is typed, the dialogue ends (at the latest when
// the input does), and a mode it returns comes with what that mode needs: a one-word address for
// the network modes, a number of players from 1 to 6 for a server.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/entry_dialogue.h"

namespace {

bool isOneWord(const std::string& text) {
    return !text.empty() && text.find_first_of(" \t\n\v\f\r") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    ParametrosRede params;
    const std::optional<Modo> mode = runEntryDialogue(in, out, params);
    if (mode == Modo::Servidor || mode == Modo::Cliente) {
        if (!isOneWord(params.address)) std::abort();
    }
    if (mode == Modo::Servidor) {
        if (params.numPlayers < kMinPlayers || params.numPlayers > kMaxPlayers) std::abort();
    }
    if (out.str().rfind("Menu:\n", 0) != 0) std::abort();
    waitForEnter(in, out);
    return 0;
}
