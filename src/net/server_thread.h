// OrbServer: a server's ORB, its three servants and the thread that serves them.
//
// Constructing it starts the thread (std::system_error when the thread cannot start). The thread
// brings the ORB up, publishes the servants as "fifo", "login" and "controle" (in a read-only
// naming context of its own on port 9001 when the parameters say it serves its own names,
// net/hosted_names.h; else in the naming service, replacing a previous server's bindings),
// prints "Servidor Rodando!" and serves remote requests until stop(); a server serving its own
// names then prints how many writes they refused. Meanwhile its ConnectionGuard
// (connection_guard.h) refuses the connections the process's file descriptors cannot afford.
//
// Every CORBA failure (an ORB that cannot start, a naming service that cannot be reached or
// refuses the bindings) becomes an orderly console message and the state Failed; the game thread
// learns of it through waitUntilStarted() and ends the server mode.
//
// The servants serve the ServerContext given at construction, which must outlive the OrbServer.
// waitUntilStarted() and stop() belong to the thread that made the OrbServer.
#pragma once

#include <omniORB4/CORBA.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "net/parametros_rede.h"

struct ServerContext;
struct ServerServants;
class ReadOnlyNamingContext;

enum class ServerState { Stopped, Starting, Running, Failed };

class OrbServer {
  public:
    // Starts the thread for a copy of `params`; throws std::system_error when it cannot start.
    OrbServer(const ParametrosRede& params, ServerContext& context);
    // stop().
    ~OrbServer();
    OrbServer(const OrbServer&) = delete;
    OrbServer& operator=(const OrbServer&) = delete;

    // Waits until the thread has published its objects (Running) or given up (Failed), and
    // returns which; Stopped once stopped.
    ServerState waitUntilStarted();

    // Ends the request loop (after the requests in progress), lets the thread release the object
    // adapter, the ORB and the servants, and joins it. Waits for a start in progress first; does
    // nothing the second time, and is harmless when the start failed.
    void stop();

  private:
    void serve();
    void publishAndServe();
    void setState(ServerState state);

    const ParametrosRede params_;
    ServerContext& context_;
    // Written by the thread before it reports Rodando (the ORB) or while it starts (the
    // servants); read by stop() after that.
    CORBA::ORB_var orb_;
    std::unique_ptr<ServerServants> servants_;
    // The names a server hosted in one step serves itself; null when it registers elsewhere.
    std::unique_ptr<ReadOnlyNamingContext> ownNames_;

    std::mutex mutex_;
    std::condition_variable stateChanged_;
    ServerState state_ = ServerState::Starting;

    std::thread thread_;  // last: it starts once everything above is ready
};
