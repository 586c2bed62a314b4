#include "net/server_session.h"  // a world file reaching up to the network layer
