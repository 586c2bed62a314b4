// server_probe: the server thread alone, without the game, for the end-to-end tests.
//
//   server_probe ADDRESS PLAYERS
//
// Publishes the three objects like a real server for PLAYERS players, then records a small
// drawing batch (a bitmap created and destroyed) every 34 ms until its standard input ends, then
// stops the server in order and ends with status 0. Status 1 when the server could not start.
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>

#include "net/server_context.h"
#include "net/server_thread.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"

namespace {

// True once standard input has ended; waits up to `ms` for it.
bool inputEnded(int ms) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, ms) <= 0) return false;
    char buffer[64];
    return read(STDIN_FILENO, buffer, sizeof buffer) <= 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    ParametrosRede params;
    params.address = argv[1];
    params.numPlayers = std::atoi(argv[2]);
    ServerContext context(params.numPlayers);
    GravadorTela& recorder = context.recorder;

    std::unique_ptr<OrbServer> server;
    try {
        server = std::make_unique<OrbServer>(params, context);
    } catch (const std::system_error&) {
        return 1;
    }
    if (server->waitUntilStarted() != ServerState::Running) return 1;
    for (int frame = 0; !inputEnded(34); ++frame) {
        const std::string name = "sonda" + std::to_string(frame);
        recorder.addInstruction(formatCreateBitmap(name, 8, 8));
        recorder.addInstruction(formatDestroyBitmap(name));
        recorder.flush();
    }
    server->stop();
    return 0;
}
