// ServerContext: what a server's game thread and its remote-request threads share, made by the
// server session before either starts and passed to both: the drawing recorder with a queue per
// player (installed as the process's recorder while the context lives, so that everything drawn
// is recorded for the players), the control state of the race in progress and the login counter.
#pragma once

#include "net/estado_controle.h"
#include "stream/gravador_tela.h"

struct ServerContext {
    explicit ServerContext(int playerCount)
        : playerCount(playerCount), recorder(playerCount), logins(playerCount) {
        GravadorTela::install(&recorder);
    }
    ~ServerContext() { GravadorTela::install(nullptr); }
    ServerContext(const ServerContext&) = delete;
    ServerContext& operator=(const ServerContext&) = delete;

    const int playerCount;
    GravadorTela recorder;
    EstadoControle control;
    ContadorLogin logins;
};
