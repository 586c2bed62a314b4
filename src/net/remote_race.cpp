#include "net/remote_race.h"

#include "net/runner_flip.h"

namespace {

RunnerFlip runnerFlip = flipRunnerGravity;

}  // namespace

void openRemoteRace(EstadoControle& state, RunnerTable& table) {
    state.players.store(&table);
    state.active.store(true);
}

void closeRemoteRace(EstadoControle& state) {
    std::lock_guard<std::mutex> hold(state.runnersLock);
    state.active.store(false);
    // A pause asked for in the race's last frame gap dies with the race.
    state.paused.store(false);
}

void moveWithRemoteFlipsHeld(EstadoControle& state, const std::function<void()>& motion) {
    std::lock_guard<std::mutex> hold(state.runnersLock);
    motion();
}

void flipRemotePlayer(EstadoControle& state, int playerCount, long player) {
    if (player < 1 || player > playerCount || player > kMaxPlayers) return;
    std::lock_guard<std::mutex> hold(state.runnersLock);
    if (!state.active.load()) return;
    RunnerTable* table = state.players.load();
    if (table == nullptr) return;
    Runner* runner = (*table)[player - 1];
    if (runner != nullptr) runnerFlip(*runner);
}

void toggleRemotePause(EstadoControle& state) {
    // Under the lock, so that no toggle lands after closeRemoteRace has cleared the pause.
    std::lock_guard<std::mutex> hold(state.runnersLock);
    if (!state.active.load()) return;
    state.paused.store(!state.paused.load());
}

void useRemoteCheat(EstadoControle& state) {
    if (state.active.load()) state.cheat.store(true);
}

void substituteRunnerFlipForTesting(RunnerFlip flip) {
    runnerFlip = flip != nullptr ? flip : flipRunnerGravity;
}
