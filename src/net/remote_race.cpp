#include "net/remote_race.h"

#include <algorithm>

#include "platform/clock.h"

void openRemoteRace(EstadoControle& state, const RunnerTable& table) {
    state.players.store(&table);
    state.active.store(true);
}

// With the runners lock held.
static void endPauseHeld(EstadoControle& state, int64_t nowMs) {
    if (state.pausedBy != 0) {
        // As long a race again as the pause lasted, and never less than kPauseAgainAfterMs.
        const int64_t lasted = nowMs - state.pausedSinceMs;
        state.pauseAllowedFromMs[state.pausedBy] = nowMs + std::max(kPauseAgainAfterMs, lasted);
    }
    state.pausedBy = 0;
    state.paused.store(false);
}

void closeRemoteRace(EstadoControle& state) {
    std::lock_guard<std::mutex> hold(state.runnersLock);
    state.active.store(false);
    state.players.store(nullptr);
    // A pause asked for in the race's last frame gap dies with the race.
    endPauseHeld(state, clockMs());
}

void moveWithRemoteFlipsHeld(EstadoControle& state, const std::function<void()>& motion) {
    std::lock_guard<std::mutex> hold(state.runnersLock);
    motion();
}

void flipRemotePlayer(EstadoControle& state, int playerCount, long player) {
    if (player < 1 || player > playerCount || player > kMaxPlayers) return;
    std::lock_guard<std::mutex> hold(state.runnersLock);
    if (!state.active.load()) return;
    const RunnerTable* table = state.players.load();
    if (table == nullptr) return;
    Runner* runner = (*table)[player - 1];
    if (runner != nullptr) state.flipRunner(*runner);
}

PauseAnswer toggleRemotePause(EstadoControle& state, int player, int64_t nowMs) {
    if (player < 1 || player > kMaxPlayers) return PauseAnswer::NoRace;
    // Under the lock, so that no toggle lands after closeRemoteRace has cleared the pause.
    std::lock_guard<std::mutex> hold(state.runnersLock);
    if (!state.active.load()) return PauseAnswer::NoRace;
    if (state.paused.load()) {
        endPauseHeld(state, nowMs);
        return PauseAnswer::Lifted;
    }
    if (nowMs < state.pauseAllowedFromMs[player]) return PauseAnswer::TooSoon;
    state.pausedBy = player;
    state.pausedSinceMs = nowMs;
    state.paused.store(true);
    return PauseAnswer::Paused;
}

void endRemotePause(EstadoControle& state, int64_t nowMs) {
    std::lock_guard<std::mutex> hold(state.runnersLock);
    endPauseHeld(state, nowMs);
}

bool useRemoteCheat(EstadoControle& state) {
    if (!state.cheatsAllowed) return false;
    if (state.active.load()) state.cheat.store(true);
    return true;
}
