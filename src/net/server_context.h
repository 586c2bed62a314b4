// ServerContext: what a server's game thread and its remote-request threads share, made by the
// server session before either starts and passed to both: the drawing recorder with a queue per
// player (installed as the process's recorder while the context lives, so that everything drawn
// is recorded for the players), the control state of the race in progress, who holds each player
// and spectator number, and the count of what the server refused.
#pragma once

#include "net/audience.h"
#include "net/calls_in_flight.h"
#include "net/estado_controle.h"
#include "net/player_slots.h"
#include "net/refusal_counts.h"
#include "stream/gravador_tela.h"

struct ServerContext {
    // `cheatsAllowed`: the host lets the remote cheat work (--truques); `spectators`: how many may
    // watch at once (--espectadores).
    explicit ServerContext(int playerCount, bool cheatsAllowed = false,
                           int spectators = Audience::kMaxSpectators)
        : playerCount(playerCount),
          recorder(playerCount),
          slots(playerCount),
          spectators(
              ViewerQueues::kFirstSpectator,
              [this](uint16_t viewer) { recorder.restartQueue(viewer); },
              [this](uint16_t viewer) { recorder.closeSpectator(viewer); }, spectators),
          callsInFlight(callsPerAddressFor(this->spectators.maxPerAddress())) {
        control.cheatsAllowed = cheatsAllowed;
        GravadorTela::install(&recorder);
    }
    ~ServerContext() { GravadorTela::install(nullptr); }
    ServerContext(const ServerContext&) = delete;
    ServerContext& operator=(const ServerContext&) = delete;

    const int playerCount;
    GravadorTela recorder;
    EstadoControle control;
    PlayerSlots slots;
    Audience spectators;
    CallsInFlight callsInFlight;
    RefusalCounts refusals;
};
