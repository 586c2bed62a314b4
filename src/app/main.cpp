// corrida: the console entry point. Asks for the mode, runs it once, waits for Enter and ends.
#include <iostream>

#include "app/entry_dialogue.h"
#include "net/client_session.h"
#include "net/server_session.h"
#include "screens/local_session.h"

int main() {
    ParametrosRede params;
    const std::optional<Modo> mode = runEntryDialogue(std::cin, std::cout, params);
    if (!mode) {
        std::cout << std::endl;
        return 0;
    }
    switch (*mode) {
        case Modo::Servidor:
            runServerSession(params);
            break;
        case Modo::Cliente:
            runClientSession(params);
            break;
        case Modo::Local:
            runLocalSession();
            break;
    }
    waitForEnter(std::cin, std::cout);
    return 0;
}
