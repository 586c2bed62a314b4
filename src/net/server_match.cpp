#include "net/server_match.h"

#include <allegro.h>

#include <algorithm>
#include <random>

#include "net/estado_controle.h"
#include "net/party_invitation.h"
#include "net/remote_race.h"
#include "net/server_context.h"
#include "net/server_screens.h"
#include "net/stop_request.h"
#include "platform/clock.h"
#include "platform/sound_player.h"
#include "screens/match_stages.h"
#include "stream/recorded_drawing.h"
#include "world/mapa.h"
#include "world/runner_sprites.h"
#include "world/stage_loading.h"

namespace {

StageEntrants entrantsOf(const ServerContext& server) {
    return StageEntrants{serverRunnerImages(), server.playerCount};
}

}  // namespace

void waitForEveryPlayer(Mapa& stage, PlayerSlots& slots, const std::string& invitationUrl) {
    int shown = -1;
    std::vector<bool> shownPlaces;
    for (;;) {
        if (invitationUrl.empty()) {
            const int joined = slots.joined(clockMs());
            if (joined != shown) {
                // The still stage again, so that the new count is drawn over a clean picture.
                stage.stillFrame();
                showWaitingScreen(joined, slots.playerCount());
                shown = joined;
            }
        } else if (std::vector<bool> places = slots.heldPlaces(clockMs());
                   places != shownPlaces || shown < 0) {
            stage.stillFrame();
            showInvitation(invitationUrl, places);
            shownPlaces = std::move(places);
            shown = 0;
        }
        if (slots.everyonePlaying(clockMs()) || stopRequested()) return;
        restBetweenPolls();
    }
}

const std::vector<std::string>& serverRunnerImages() { return runnerSpritesInOrder(); }

bool ServerMatchRules::prepareRace(int stageNumber, Mapa& stage) {
    if (stageNumber == 1) {
        recordedPlayMusic(sound::kMenuMusic);
        waitForEveryPlayer(stage, server.slots, server.invitationUrl);
        if (stopRequested()) return false;
    }
    showCountdown(stage);
    // A cheat sent between races must not end the next one before it starts.
    server.control.cheat = false;
    return true;
}

void ServerMatchRules::openRace(Mapa& stage) { openRemoteRace(server.control, stage.runners()); }

void ServerMatchRules::closeRace() { closeRemoteRace(server.control); }

bool ServerMatchRules::raceInterrupted() {
    return key[KEY_ESC] || server.control.cheat.load() || stopRequested();
}

bool ServerMatchRules::raceFrame(Mapa& stage) {
    bool lost = false;
    moveWithRemoteFlipsHeld(server.control, [&] { lost = stage.raceFrame(); });
    return lost;
}

bool ServerMatchRules::pauseRequested() {
    if (!server.control.paused.load()) return false;
    pausedAtMs = clockMs();
    return true;
}

// A stop request ends the pause too: nobody may be left to lift it. A pause nobody lifts ends by
// itself.
bool ServerMatchRules::pauseEnded() {
    if (clockMs() - pausedAtMs >= kLongestRemotePauseMs) endRemotePause(server.control, clockMs());
    return !server.control.paused.load() || stopRequested();
}

StageOutcome ServerMatchRules::decideOutcome(int, bool finished) {
    if (key[KEY_ESC]) {
        key[KEY_ESC] = 0;
        return StageOutcome::Abandoned;
    }
    if (stopRequested()) return StageOutcome::Abandoned;
    if (finished) return StageOutcome::Won;
    if (server.control.cheat.exchange(false)) return StageOutcome::Won;
    return StageOutcome::Replay;
}

void ServerMatchRules::showWinner(const MatchArrivals& arrivals, const StageEntrants& entrants) {
    showServerWinnerScreen(arrivals, entrants.sprites);
}

bool ServerMatchRules::stageLoadAbandoned() { return key[KEY_ESC] || stopRequested(); }

StageOutcome runServerStage(int stageNumber, const StageData& stage, ServerContext& server,
                            std::vector<int>* arrivals) {
    ServerMatchRules rules(server);
    return attemptStage(stageNumber, stage, entrantsOf(server), rules, arrivals);
}

void playServerMatches(ServerContext& server, const StageChoice& stages) {
    ServerMatchRules rules(server);
    std::mt19937 random(std::random_device{}());
    while (playMatch(matchStagesOf(stages, random), entrantsOf(server), rules) ==
           StageOutcome::Won) {
    }
}
