// What remote players' inputs may do to the race in progress, and when.
//
// The game thread opens a race once the stage's runners are in the runner table and closes it
// before it releases them; the Controle operations act only while a race is open. A remote flip
// checks `active` and flips the runner with the state's runnersLock held, and closing clears
// `active` with the same lock held: once closeRemoteRace() has returned, no remote flip is
// touching a runner and none will until the next openRemoteRace(). The lock is taken for a few
// instructions only; nothing else in the game waits for it.
//
// Remote callers can send any number: a player number outside 1 to the server's player count
// (and the runner table's six entries) is ignored.
#pragma once

#include "net/estado_controle.h"

// Makes `table` the race's runners and then lets remote inputs in.
void openRemoteRace(EstadoControle& state, RunnerTable& table);

// Stops remote inputs; returns only when no remote flip is in progress.
void closeRemoteRace(EstadoControle& state);

// alterarGravidade: while a race is open, flips the gravity of player `player`'s runner if that
// runner stands on something (the same rule as the local key poll). `playerCount` is the server's
// number of players.
void flipRemotePlayer(EstadoControle& state, int playerCount, long player);

// pausar: while a race is open, toggles `paused` (two concurrent calls toggle it twice).
void toggleRemotePause(EstadoControle& state);

// usarCheat: while a race is open, sets `cheat`.
void useRemoteCheat(EstadoControle& state);

// How a remote flip reaches a runner: the runner's own atomic grounded-only flip. Tests may point
// it elsewhere; nullptr restores the runner's own. Call only while no remote flip can run.
using RunnerFlip = void (*)(Runner& runner);
void substituteRunnerFlipForTesting(RunnerFlip flip);
