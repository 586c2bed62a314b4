// corrida: the console entry point. Without arguments it asks for the mode on the console, runs it
// once, waits for Enter and ends; with arguments (command_line.h) it runs what they ask for and
// ends without waiting. Either way it first moves into the folder that holds the images.
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
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
#include "world/own_stages.h"
#include "world/stage_choice.h"
#include "world/stage_list.h"

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

// Whether the stages --fases names can be played (said on the console when not). The list holds
// the players' own stages too (read, drawn and solved here, before any session runs).
bool stagesPlayable(const StageChoice& stages, const std::string& program) {
    if (stages.empty()) return true;
    std::string error;
    std::mt19937 random(1);
    if (!stagesOfChoice(stages, listedStages(), random, error).empty()) return true;
    std::string listed;
    for (const ListedStage& stage : listedStages())
        if (stage.data.problem.empty()) listed += (listed.empty() ? "" : ", ") + stage.id;
    std::cerr << program << ": " << error << "\nfases que podem ser jogadas: " << listed << "\n";
    return false;
}

// The mode's session; its exit status.
int runMode(Modo mode, ParametrosRede& params) {
    loadKeyConfig();  // teclas.conf: the local players' keys, a client's own (jogador1's)
    // The players' own stages, read, drawn and solved now, before any session runs (the solver
    // races headless on the simulated clock): a local game and a server offer them.
    if (mode == Modo::Local || mode == Modo::Servidor) listedStages();
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
            runLocalSession(params.recordingPath, params.stages.empty()
                                                      ? std::nullopt
                                                      : std::optional<StageChoice>(params.stages));
            return 0;
    }
    return 0;
}

int runDialogue() {
    if (!enterDataFolder(std::cout)) return kNoImages;
    // The stages' level files, read once now: a broken one is reported here, and its stage ends in
    // order when a match reaches it.
    shippedStages();
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
        // The stages' level files, read once now: a broken one is reported here, and its stage ends
        // in order when a match reaches it.
        shippedStages();
        return runPlayback(recording);
    }
    if (!line.params.recordingPath.empty()) {
        line.params.recordingPath = absolutePath(line.params.recordingPath);
    }
    if (!enterDataFolder(std::cout)) return kNoImages;
    // The stages' level files, read once now: a broken one is reported here, and its stage ends in
    // order when a match reaches it.
    shippedStages();
    if (!stagesPlayable(line.params.stages, program)) return kBadArguments;
    return runMode(line.mode, line.params);
}
