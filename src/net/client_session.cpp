#include "net/client_session.h"

#include <cstdio>

void runClientSession(ParametrosRede& params) {
    std::printf("CLIENTE do servidor de nomes %s: modo ainda nao disponivel nesta versao.\n",
                params.address.c_str());
    std::fflush(stdout);
}
