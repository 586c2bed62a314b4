#include "screens/local_session.h"

#include <cstdio>

void runLocalSession() {
    std::printf("JOGO LOCAL: modo ainda nao disponivel nesta versao.\n");
    std::fflush(stdout);
}
