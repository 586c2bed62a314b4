// The server: runs the whole game for remote players and publishes it through the naming service.
#pragma once

#include "net/parametros_rede.h"
#include "net/session_status.h"

// The session's exit status: 0, or kThreadFailureStatus when its threads could not be started.
int runServerSession(ParametrosRede& params);
