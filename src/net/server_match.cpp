#include "net/server_match.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/clock.h"
#include "platform/sound_player.h"
#include "net/estado_controle.h"
#include "net/remote_race.h"
#include "net/server_context.h"
#include "net/server_screens.h"
#include "net/stop_request.h"
#include "screens/pause_screen.h"
#include "stream/recorded_drawing.h"
#include "world/flip_keys.h"
#include "world/mapa.h"
#include "world/runner_sprites.h"
#include "world/runner_table.h"
#include "world/stage_loading.h"

namespace {

// The frame loop; returns with the race still open.
void raceUntilOver(Mapa& stage, EstadoControle& control) {
    for (;;) {
        if (stage.finished || key[KEY_ESC] || control.cheat.load() || stopRequested()) return;
        const bool restart = stage.raceFrame();
        if (control.paused.load()) {
            showPauseScreen([&control] { return !control.paused.load() || stopRequested(); });
        }
        waitMoreThan(kServerFrameGapMs);
        flushRecording();
        if (restart) return;
    }
}

StageOutcome decideOutcome(const Mapa& stage, EstadoControle& control) {
    if (key[KEY_ESC]) {
        key[KEY_ESC] = 0;
        return StageOutcome::Abandoned;
    }
    if (stopRequested()) return StageOutcome::Abandoned;
    if (stage.finished) return StageOutcome::Won;
    if (control.cheat.exchange(false)) return StageOutcome::Won;
    return StageOutcome::Replay;
}

void releaseStage(std::unique_ptr<Mapa>& stage, int playerCount) {
    for (int i = 0; i < playerCount && i < kMaxPlayers; ++i) {
        if (runnerTable[i]) stopKeyPoll(runnerTable[i]);
        runnerTable[i] = nullptr;
    }
    stage.reset();
}

StageOutcome playServerStage(int stageNumber, const StageData& stage, ServerContext& server,
                             std::vector<int>& arrivals) {
    StageOutcome outcome;
    do {
        outcome = runServerStage(stageNumber, stage, server, &arrivals);
    } while (outcome == StageOutcome::Replay);
    return outcome;
}

}  // namespace

void waitForEveryPlayer(Mapa& stage, const ContadorLogin& logins) {
    int shown = -1;
    for (;;) {
        const int joined = std::min(logins.loggedIn.load(), logins.maxPlayers);
        if (joined != shown) {
            // The still stage again, so that the new count is drawn over a clean picture.
            stage.stillFrame();
            showWaitingScreen(joined, logins.maxPlayers);
            shown = joined;
        }
        if (joined >= logins.maxPlayers || stopRequested()) return;
        restBetweenPolls();
    }
}

const std::vector<std::string>& serverRunnerImages() { return runnerSpritesInOrder(); }

StageOutcome runServerStage(int stageNumber, const StageData& stage, ServerContext& server,
                            std::vector<int>* arrivals) {
    EstadoControle& control = server.control;
    const int playerCount = server.playerCount;
    std::unique_ptr<Mapa> map =
        loadStageOrReport(stageNumber, stage, serverRunnerImages(), playerCount);
    if (!map) return StageOutcome::LoadFailed;
    if (stageNumber == 1) {
        recordedPlayMusic(sound::kMenuMusic);
        waitForEveryPlayer(*map, server.logins);
        if (stopRequested()) {
            releaseStage(map, playerCount);
            return StageOutcome::Abandoned;
        }
    }
    showCountdown(*map);
    // A cheat sent between races must not end the next one before it starts.
    control.cheat = false;

    openRemoteRace(control, runnerTable);
    raceUntilOver(*map, control);
    closeRemoteRace(control);

    const StageOutcome outcome = decideOutcome(*map, control);
    if (outcome == StageOutcome::Won && arrivals) *arrivals = map->arrivals;
    releaseStage(map, playerCount);
    return outcome;
}

void playServerMatches(ServerContext& server) {
    for (;;) {
        MatchArrivals arrivals;
        if (playServerStage(1, stage1Data(), server, arrivals[0]) != StageOutcome::Won) return;
        waitMoreThan(kServerIntervalMs);
        if (playServerStage(2, stage2Data(), server, arrivals[1]) != StageOutcome::Won) return;
        showServerWinnerScreen(arrivals, serverRunnerImages());
    }
}
