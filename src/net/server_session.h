// The server: runs the whole game for remote players and publishes it through the naming service.
#pragma once

#include "net/parametros_rede.h"

void runServerSession(ParametrosRede& params);
