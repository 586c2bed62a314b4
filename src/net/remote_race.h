// What remote players' inputs may do to the race in progress, and when.
//
// The game thread opens a race with its stage's runner table and closes it before it releases the
// stage; the Controle operations act only while a race is open. A remote flip checks `active` and
// flips the runner with the state's runnersLock held, and closing clears `active` with the same
// lock held: once closeRemoteRace() has returned, no remote flip is touching a runner and none
// will until the next openRemoteRace().
//
// The game thread also holds the lock while a race frame moves the runners: motion clears a
// runner's `grounded` at every one-pixel step and sets it again only when the runner meets its
// surface, so a flip checked mid-motion would find a runner that stands on the floor before and
// after the frame in the air, and be lost. Held off, the flip waits (a frame's motion, well under a
// millisecond on a server) and is then judged where the frame left the runner. Besides a remote
// flip, nothing in the game waits for the lock.
//
// Remote callers can send any number: a player number outside 1 to the server's player count
// (and the runner table's six entries) is ignored.
#pragma once

#include <cstdint>
#include <functional>

#include "net/estado_controle.h"

// Makes `table` the race's runners and then lets remote inputs in.
void openRemoteRace(EstadoControle& state, const RunnerTable& table);

// Stops remote inputs and lets go of the runner table; returns only when no remote flip is in
// progress.
void closeRemoteRace(EstadoControle& state);

// Runs `motion` (a race frame) with remote flips held off until it returns.
void moveWithRemoteFlipsHeld(EstadoControle& state, const std::function<void()>& motion);

// alterarGravidade: while a race is open, flips the gravity of player `player`'s runner if that
// runner stands on something (the same rule as the local key poll), through `state.flipRunner`.
// `playerCount` is the server's number of players.
void flipRemotePlayer(EstadoControle& state, int playerCount, long player);

// How long after the end of its pause a player may pause again.
constexpr int64_t kPauseAgainAfterMs = 8000;

enum class PauseAnswer { Paused, Lifted, TooSoon, NoRace };

// A player's pause key, while a race is open: any player lifts the pause that holds the race; a
// player starts one unless its own last pause ended too recently (TooSoon): a player races at
// least as long as its last pause lasted, and at least kPauseAgainAfterMs, before pausing again,
// so nobody holds the race still for most of the time. `player` counts from 1 (to kMaxPlayers).
PauseAnswer toggleRemotePause(EstadoControle& state, int player, int64_t nowMs);

// Ends the pause that holds the race, if any (its time is up); the player who paused it waits
// kPauseAgainAfterMs from now to pause again. Closing the race does the same: a pause never
// reaches the next race.
void endRemotePause(EstadoControle& state, int64_t nowMs);

// usarCheat: while a race is open on a server that allows the cheat, sets `cheat`. False when the
// server does not allow it.
bool useRemoteCheat(EstadoControle& state);
