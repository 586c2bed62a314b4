#include "net/client_session.h"

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "corrida.hh"
#include "net/client_join.h"
#include "net/client_play.h"
#include "net/corba_failure.h"
#include "net/orb_setup.h"
#include "net/server_objects.h"
#include "net/stop_request.h"
#include "platform/gamepads.h"
#include "platform/graphics.h"
#include "platform/lost_display.h"
#include "platform/player_limits.h"
#include "stream/recording_file.h"

namespace {

// This client's place at the server: a spectator's number, or a player's number and secret;
// nothing when the server gives none (the reason is printed).
std::optional<Fetcher> takePlace(ClientRole role, ServerObjects& server,
                                 const std::string& address) {
    if (role == ClientRole::Spectator) {
        const std::optional<int> viewer = watchServer(server.login, address);
        if (!viewer) return std::nullopt;
        std::cout << "VOCE ASSISTE COMO ESPECTADOR: " << *viewer << std::endl;
        return Fetcher{static_cast<CORBA::UShort>(*viewer), ""};
    }
    const std::optional<JoinedPlace> joined = joinServer(server.login, address);
    if (!joined) return std::nullopt;  // already reported
    if (joined->player == -1) {
        std::cout << "O servidor ja esta cheio" << std::endl;
        return std::nullopt;
    }
    if (joined->player < 1 || joined->player > kMaxPlayers) {
        std::cout << "O servidor respondeu com um numero de jogador invalido: " << joined->player
                  << std::endl;
        return std::nullopt;
    }
    std::cout << "VOCE EH O PLAYER: " << joined->player << std::endl;
    return Fetcher{static_cast<CORBA::UShort>(joined->player), joined->secret};
}

// Watches or plays, once the three objects are found; prints why it cannot. The session's exit
// status.
int runAs(ClientRole role, ServerObjects& server, const ParametrosRede& params) {
    const std::string& address = params.address;
    const std::optional<Fetcher> self = takePlace(role, server, address);
    if (!self) return 0;
    std::unique_ptr<RecordingWriter> recording;
    if (!openAskedRecording(params.recordingPath, recording)) return 0;
    std::optional<FinishOnLostDisplay> closeRecording;
    if (recording) closeRecording.emplace([&file = *recording] { file.finishNow(); });
    std::optional<FetchPlan> plan = chooseFetch(server.fifo, *self, address);
    if (!plan || !startGraphics()) return 0;
    catchStopSignals();
    PlayOutcome outcome;
    {
        // A player's pads flip its own runner and pause, as its keys do.
        std::optional<GamepadSession> pads;
        if (role == ClientRole::Player) {
            pads.emplace();
            setEveryGamepadPlayerOne(true);
        }
        outcome = play(server, *self, address, std::move(*plan), role, recording.get());
    }
    stopGraphics();
    if (!outcome.failure.empty()) std::cout << outcome.failure << std::endl;
    return outcome.threadsFailed ? kThreadFailureStatus : 0;
}

}  // namespace

int runClientSession(ParametrosRede& params, ClientRole role) {
    // Ctrl+C and SIGTERM end the session as Esc does; until the window is up they wait, so that
    // they never meet the graphics library's own handlers.
    struct StopSignals {
        StopSignals() { holdStopSignals(); }
        ~StopSignals() {
            catchStopSignals();  // one held back meanwhile is spent here
            releaseStopSignals();
        }
    } stopSignals;
    const std::string& address = params.address;
    CORBA::ORB_var orb;
    try {
        orb = startOrb("corrida-cliente", address);
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, NetworkStage::StartingOrb, address) << std::endl;
        return 0;
    }

    int status = 0;
    {
        ServerObjects server;
        if (findServer(orb, address, server)) status = runAs(role, server, params);
    }

    try {
        orb->destroy();
    } catch (const CORBA::Exception&) {
        // The session is over either way.
    }
    return status;
}
