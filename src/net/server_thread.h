// serverThread: a server's second thread. It brings the ORB up, publishes the three servants in
// the naming service as "fifo", "login" and "controle" (replacing a previous server's bindings),
// prints "Servidor Rodando!" and serves remote requests until stopServer().
//
// Every CORBA failure (an ORB that cannot start, a naming service that cannot be reached or
// refuses the bindings) becomes an orderly console message and the state Falhou; the game thread
// learns of it through waitForServerStart() and ends the server mode.
#pragma once

#include <pthread.h>

#include "net/parametros_rede.h"

struct ServerContext;

enum class EstadoServidor { Parado, Iniciando, Rodando, Falhou };

// Starts serverThread for `params` (the thread copies the record first) with default attributes;
// its servants serve `context`, which must outlive the thread. Returns pthread_create's result: 0
// when the thread runs.
int startServerThread(const ParametrosRede& params, ServerContext& context, pthread_t& thread);

// Waits, sleeping between looks, until the thread has published its objects (Rodando) or given
// up (Falhou), and returns which.
EstadoServidor waitForServerStart();

// Ends the request loop (after the requests in progress), lets the thread release the object
// adapter, the servants and the ORB, and joins it. Harmless when the thread already failed.
void stopServer(pthread_t thread);
