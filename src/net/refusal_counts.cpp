#include "net/refusal_counts.h"

std::string RefusalCounts::summary() const {
    return "Pedidos recusados: " + std::to_string(joins.load()) + " entradas, " +
           std::to_string(foreignCalls.load()) + " chamadas por jogador alheio, " +
           std::to_string(pauses.load()) + " pausas cedo demais, " + std::to_string(cheats.load()) +
           " truques, " + std::to_string(callsInFlight.load()) +
           " chamadas alem da cota do endereco, " + std::to_string(spectators.load()) +
           " espectadores alem do limite, " + std::to_string(webRequests.load()) +
           " pedidos web, " + std::to_string(webConnections.load()) +
           " conexoes web alem do limite, " + std::to_string(webMessages.load()) +
           " mensagens web.";
}
