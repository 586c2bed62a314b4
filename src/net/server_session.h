// The server: runs the whole game for remote players and publishes it through the naming service.
#pragma once

#include <functional>
#include <memory>

#include "net/parametros_rede.h"
#include "net/session_status.h"
#include "stream/batch_subscriber.h"

struct ServerContext;

// Another surface the server serves its players and spectators on besides the ORB (the web port):
// opened once the ORB runs, it is handed the recorder's batches for as long as the matches last.
// Nothing when it cannot open; it has said why, and the server ends.
using SurfaceOpener = std::function<std::unique_ptr<BatchSubscriber>(ServerContext&)>;

// The session's exit status: 0, or kThreadFailureStatus when its threads could not be started.
int runServerSession(ParametrosRede& params, const SurfaceOpener& openSurface = {});
