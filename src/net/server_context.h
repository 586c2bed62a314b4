// ServerContext: what a server's game thread and its remote-request threads share, made by the
// server session before either starts and passed to both: the drawing recorder with a queue per
// player, the control state of the race in progress and the login counter.
#pragma once

#include "net/estado_controle.h"
#include "stream/gravador_tela.h"

struct ServerContext {
    // Makes the process's recorder a server's, with `playerCount` queues (gravador_tela.h).
    explicit ServerContext(int playerCount)
        : playerCount(playerCount),
          recorder(GravadorTela::instance(playerCount)),
          logins(playerCount) {}
    ServerContext(const ServerContext&) = delete;
    ServerContext& operator=(const ServerContext&) = delete;

    const int playerCount;
    GravadorTela& recorder;
    EstadoControle control;
    ContadorLogin logins;
};
