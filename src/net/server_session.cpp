#include "net/server_session.h"

#include <cstdio>

void runServerSession(ParametrosRede& params) {
    std::printf("SERVIDOR em %s para %d jogadores: modo ainda nao disponivel nesta versao.\n",
                params.address.c_str(), params.numPlayers);
    std::fflush(stdout);
}
