#include "app/entry_dialogue.h"

#include <istream>
#include <limits>
#include <ostream>

namespace {

void skipRestOfLine(std::istream& in) {
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

// Reads the number of players until it lies in 1 to 6; false at end of input.
bool readPlayerCount(std::istream& in, std::ostream& out, int32_t& numPlayers) {
    for (;;) {
        out << "Digite o numero de Jogadores: " << std::flush;
        if (in >> numPlayers) {
            if (numPlayers >= kMinPlayers && numPlayers <= kMaxPlayers) return true;
        } else {
            if (in.eof()) return false;
            in.clear();
            skipRestOfLine(in);
        }
        out << "Numero de jogadores invalido: digite um numero de " << kMinPlayers << " a "
            << kMaxPlayers << ".\n";
    }
}

}  // namespace

std::optional<Modo> runEntryDialogue(std::istream& in, std::ostream& out, ParametrosRede& params) {
    out << "Menu:\n\n"
        << "1. RODAR SERVIDOR\n"
        << "2. RODAR CLIENTE\n"
        << "3. JOGO LOCAL\n"
        << std::endl
        << "Digite a opcao desejada: " << std::flush;
    int32_t choice = 0;
    if (!(in >> choice)) {
        if (in.eof()) return std::nullopt;
        in.clear();  // not a number: the local game, as for any other answer
        return Modo::Local;
    }
    if (choice != 1 && choice != 2) return Modo::Local;

    out << "Digite o endereco do servidor de nomes: " << std::flush;
    if (!(in >> params.address)) return std::nullopt;
    if (choice == 2) return Modo::Cliente;

    if (!readPlayerCount(in, out, params.numPlayers)) return std::nullopt;
    return Modo::Servidor;
}

void waitForEnter(std::istream& in, std::ostream& out) {
    out << "Pressione Enter para sair..." << std::flush;
    if (!in) return;
    // The dialogue's last answer leaves the rest of its line unread; that is not the awaited Enter.
    skipRestOfLine(in);
    std::string line;
    std::getline(in, line);
    out << "\n";
}
