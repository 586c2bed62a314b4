#include "net/server_session.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "net/audience_sweep.h"
#include "net/hosted_names.h"
#include "net/party_screen.h"
#include "net/server_context.h"
#include "net/server_match.h"
#include "net/server_thread.h"
#include "net/stop_request.h"
#include "platform/graphics.h"
#include "platform/lost_display.h"
#include "platform/player_limits.h"
#include "stream/bound_names_log.h"
#include "stream/recording_subscriber.h"
#include "stream/subscription.h"
#include "world/own_stages.h"

namespace {

// Whether a match by `stages` may play a stage other than 1 and 2 (a classic client holds no
// other).
bool playsOtherStages(const StageChoice& stages) {
    if (stages.randomCount > 0) return true;
    for (const std::string& word : stages.stages) {
        const ListedStage* stage = findListedStage(listedStages(), word);
        if (!stage || stage->number > 2) return true;
    }
    return false;
}

// Without a display the server still serves its players: the graphics library runs without a
// window (the server never shows anything), which also means Esc cannot be read.
bool startGraphicsOrRunWithoutWindow(const WindowRequest& window) {
    if (startGraphics(window)) return true;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    std::cout << "Sem tela disponivel: o servidor continua sem janela. Para encerra-lo, pressione "
                 "Ctrl+C neste console."
              << std::endl;
    return false;
}

}  // namespace

int runServerSession(ParametrosRede& params, const SurfaceOpener& openSurface) {
    const int playerCount = params.numPlayers;
    if (playerCount < kMinPlayers || playerCount > kMaxPlayers) {
        std::cout << "Numero de jogadores invalido para o servidor: " << playerCount << " (de "
                  << kMinPlayers << " a " << kMaxPlayers << ")." << std::endl;
        return 0;
    }
    holdStopSignals();
    params.ownNamesEndpoint = ownNamesEndpoint(params.address, std::getenv("ORBendPoint"));
    // The ORB adds the environment's endpoint to the ones it is given: serving its own names, the
    // server listens on port 9001 alone (at the host the environment pinned, kept in the
    // endpoint). No other thread runs yet.
    if (!params.ownNamesEndpoint.empty()) unsetenv("ORBendPoint");
    ServerContext context(playerCount, params.cheatsAllowed, params.spectators);
    // The stages whose levels a client lacking their pictures may fetch (read at start-up).
    context.stages = &listedStages();
    context.otherStagesInMatch = playsOtherStages(params.stages);
    context.invitationUrl = params.invitationUrl;
    // Measuring the classic fetch: its batches carry the picture markers too (clients skip them).
    if (const char* marks = std::getenv("CORRIDA_MARK_FRAMES"); marks && *marks == '1') {
        context.viewers.queues().markFramesOnClassicFetch(true);
    }
    // Measuring long sessions: the bitmap names the recording leaves bound, picture by picture.
    std::unique_ptr<BoundNamesLog> namesLog;
    if (const char* names = std::getenv("CORRIDA_BITMAP_NAMES"); names && *names) {
        namesLog = BoundNamesLog::open(names);
        if (!namesLog) {
            std::cout << "CORRIDA_BITMAP_NAMES: nao foi possivel escrever " << names << std::endl;
        }
    }
    const Subscription logNames(context.recorder, namesLog.get());

    // --gravar: the match as the players see it, written off the game thread.
    std::unique_ptr<RecordingWriter> recordingFile;
    std::unique_ptr<RecordingSubscriber> recording;
    if (!openAskedRecording(params.recordingPath, recordingFile)) {
        releaseStopSignals();
        return 0;
    }
    std::optional<FinishOnLostDisplay> closeRecording;
    if (recordingFile) {
        closeRecording.emplace([&file = *recordingFile] { file.finishNow(); });
        recording = std::make_unique<RecordingSubscriber>(*recordingFile);
    }
    const Subscription record(context.recorder, recording.get());

    std::unique_ptr<OrbServer> server;
    try {
        server = std::make_unique<OrbServer>(params, context);
    } catch (const std::system_error& failure) {
        std::printf("ERROR; return code from pthread_create() is %d\n", failure.code().value());
        std::fflush(stdout);
        releaseStopSignals();
        return kThreadFailureStatus;
    }
    if (server->waitUntilStarted() != ServerState::Running) {
        server->stop();
        catchStopSignals();  // a Ctrl+C held back meanwhile is spent here, not by the default
        releaseStopSignals();
        return 0;
    }

    std::unique_ptr<BatchSubscriber> surface;
    if (openSurface) {
        surface = openSurface(context);
        if (!surface) {
            server->stop();
            catchStopSignals();
            releaseStopSignals();
            return 0;
        }
    }
    std::optional<Subscription> feedSurface(std::in_place, context.recorder, surface.get());

    const AudienceSweep sweep(context.spectators);
    // corrida festa: the game window shows what the viewers are sent (the TV).
    const bool party = !params.invitationUrl.empty();
    const bool window = startGraphicsOrRunWithoutWindow(party ? kGameWindow : kKeyboardOnlyWindow);
    std::unique_ptr<PartyScreen> tv;
    if (party && window) tv = std::make_unique<PartyScreen>();
    std::optional<Subscription> feedTv(std::in_place, context.recorder, tv.get());
    // Only now: the graphics library installs handlers of its own while it starts.
    catchStopSignals();
    playServerMatches(context, params.stages);
    feedTv.reset();
    tv.reset();
    if (window) {
        stopGraphics();
    } else {
        allegro_exit();
    }
    feedSurface.reset();
    surface.reset();
    server->stop();
    std::cout << context.refusals.summary() << std::endl;
    if (stopRequested()) std::cout << "Servidor encerrado." << std::endl;
    releaseStopSignals();
    return 0;
}
