#include "net/estado_controle.h"

EstadoControle& EstadoControle::instance() {
    static EstadoControle* const state = new EstadoControle();  // never destroyed
    return *state;
}

ContadorLogin& ContadorLogin::instance(int32_t maxPlayers) {
    static ContadorLogin* const counter = new ContadorLogin(maxPlayers);  // never destroyed
    return *counter;
}
