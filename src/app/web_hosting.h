// The web port of `corrida servidor N --web [PORTA]`: what the server session is given to open it
// (web_port.h), with its share of the descriptors set aside from the ORB's.
#pragma once

#include "net/parametros_rede.h"
#include "net/server_session.h"

// Nothing when `params` asks for no web port. Otherwise sets params.webConnections, which the
// ORB's connections leave free, and returns the opener, which listens where the environment's
// ORBendPoint pins the server (every interface when it does not) and says on the console where
// browsers find the page.
SurfaceOpener webPortOpener(ParametrosRede& params);
