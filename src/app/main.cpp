// corrida: the console entry point. Without arguments it asks for the mode on the console, runs it
// once, waits for Enter and ends; with arguments (command_line.h) it runs what they ask for and
// ends without waiting. Either way it first moves into the folder that holds the images.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/entry_dialogue.h"
#include "app/party_session.h"
#include "app/web_hosting.h"
#include "net/client_session.h"
#include "net/server_session.h"
#include "platform/graphics.h"
#include "platform/key_config.h"
#include "screens/local_session.h"
#include "screens/playback_session.h"

#ifndef CORRIDA_VERSION
#define CORRIDA_VERSION "desconhecida"
#endif

namespace {

constexpr int kBadArguments = 2;
constexpr int kNoImages = 1;

// Files named on the command line are named from where the program was started, before it moves
// into the folder of its images.
std::string absolutePath(const std::string& path) {
    std::error_code failure;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failure);
    return failure ? path : absolute.string();
}

// The mode's session; its exit status.
int runMode(Modo mode, ParametrosRede& params) {
    loadKeyConfig();  // teclas.conf: the local players' keys, a client's own (jogador1's)
    switch (mode) {
        case Modo::Servidor:
            return runServerSession(params, webPortOpener(params));
        case Modo::Festa:
            return runPartySession(params);
        case Modo::Cliente:
            return runClientSession(params);
        case Modo::Assistir:
            return runClientSession(params, ClientRole::Spectator);
        case Modo::Rever:
            return 0;  // not a mode of its own session (main runs the playback)
        case Modo::Local:
            runLocalSession(params.recordingPath);
            return 0;
    }
    return 0;
}

int runDialogue() {
    if (!enterDataFolder(std::cout)) return kNoImages;
    ParametrosRede params;
    const std::optional<Modo> mode = runEntryDialogue(std::cin, std::cout, params);
    if (!mode) {
        std::cout << std::endl;
        return 0;
    }
    const int status = runMode(*mode, params);
    waitForEnter(std::cin, std::cout);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = "corrida";
    CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    setWindowScale(line.scale);
    setFullScreenRequested(line.fullScreen);
    switch (line.action) {
        case CommandLineAction::Dialogue:
            return runDialogue();
        case CommandLineAction::Help:
            std::cout << usageText(program);
            return 0;
        case CommandLineAction::Version:
            std::cout << program << " " << CORRIDA_VERSION << std::endl;
            return 0;
        case CommandLineAction::Error:
            std::cerr << program << ": " << line.error << "\n" << usageText(program);
            return kBadArguments;
        case CommandLineAction::Run:
            break;
    }
    if (line.mode == Modo::Rever) {
        const std::string recording = absolutePath(line.playbackPath);
        if (!enterDataFolder(std::cout)) return kNoImages;
        return runPlayback(recording);
    }
    if (!line.params.recordingPath.empty()) {
        line.params.recordingPath = absolutePath(line.params.recordingPath);
    }
    if (!enterDataFolder(std::cout)) return kNoImages;
    return runMode(line.mode, line.params);
}
