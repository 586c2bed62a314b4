// net_probe: a minimal remote caller for the end-to-end tests. It looks one of a server's objects
// up in the naming service and makes one call, printing the answer on one line:
//
//   net_probe ADDRESS ior NAME      the reference bound to NAME ("fifo", "login", "controle")
//   net_probe ADDRESS logar         the player number the server gives (or -1)
//   net_probe ADDRESS play          logar, prints the number, then fetches that player's batches
//                                   until killed: a player that watches and never presses a key
//   net_probe ADDRESS fifo PLAYER   the next batch queued for PLAYER (any unsigned short)
//   net_probe ADDRESS flip PLAYER   alterarGravidade(PLAYER) (any short), prints "ok"
//   net_probe ADDRESS pausar        pausar(), prints "ok"
//   net_probe ADDRESS frames PLAYER the number of the last picture among those waiting for PLAYER
//                                   (takeFrames, waiting up to 250 ms for one; 0: none)
//
// Exit status 0 when the call was answered, 1 with the CORBA failure's name otherwise.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "corrida.hh"
#include "net/orb_setup.h"
#include "stream/frame_marker.h"
#include "stream/instruction_text.h"

namespace {

CORBA::Object_ptr lookUp(CORBA::ORB_ptr orb, const char* id) {
    CosNaming::NamingContext_var names = rootNamingContext(orb);
    return names->resolve(oneComponentName(id));
}

int run(CORBA::ORB_ptr orb, const std::string& command, const char* argument) {
    if (command == "ior") {
        CORBA::Object_var object = lookUp(orb, argument);
        CORBA::String_var text = orb->object_to_string(object);
        std::cout << text.in() << std::endl;
    } else if (command == "logar") {
        CORBA::Object_var object = lookUp(orb, "login");
        Login_var login = Login::_narrow(object);
        std::cout << login->logar() << std::endl;
    } else if (command == "play") {
        CORBA::Object_var object = lookUp(orb, "login");
        Login_var login = Login::_narrow(object);
        const CORBA::Short player = login->logar();
        std::cout << player << std::endl;
        if (player < 1) return 0;
        object = lookUp(orb, "fifo");
        FifoServer_var fifo = FifoServer::_narrow(object);
        for (;;) {
            try {
                CORBA::String_var batch = fifo->getInstructions(static_cast<CORBA::UShort>(player));
            } catch (const CORBA::SystemException&) {
                // A server stopped for a while: it is asked again.
            }
            usleep(20000);
        }
    } else if (command == "fifo") {
        CORBA::Object_var object = lookUp(orb, "fifo");
        FifoServer_var fifo = FifoServer::_narrow(object);
        CORBA::String_var batch =
            fifo->getInstructions(static_cast<CORBA::UShort>(std::atol(argument)));
        std::cout << batch.in() << std::endl;
    } else if (command == "frames") {
        CORBA::Object_var object = lookUp(orb, "fifo");
        FifoServer_var fifo = FifoServer::_narrow(object);
        CORBA::String_var answer =
            fifo->takeFrames(static_cast<CORBA::UShort>(std::atol(argument)), 250);
        const std::string text = answer.in();
        uint64_t last = 0;
        forEachPiece(text, [&](std::string_view piece, bool) {
            if (const auto marker = readFrameMarker(piece)) last = marker->frame;
            return true;
        });
        std::cout << last << std::endl;
    } else if (command == "flip") {
        CORBA::Object_var object = lookUp(orb, "controle");
        Controle_var controle = Controle::_narrow(object);
        controle->alterarGravidade(static_cast<CORBA::Short>(std::atol(argument)));
        std::cout << "ok" << std::endl;
    } else if (command == "pausar") {
        CORBA::Object_var object = lookUp(orb, "controle");
        Controle_var controle = Controle::_narrow(object);
        controle->pausar();
        std::cout << "ok" << std::endl;
    } else {
        std::cerr << "comando desconhecido: " << command << std::endl;
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "uso: net_probe ENDERECO (ior NOME | logar | play | fifo N | frames N | flip "
                     "N | pausar)"
                  << std::endl;
        return 2;
    }
    int status = 1;
    try {
        CORBA::ORB_var orb = startOrb("net_probe", argv[1]);
        try {
            status = run(orb, argv[2], argc > 3 ? argv[3] : "");
        } catch (const CORBA::Exception& failure) {
            std::cout << "falha: " << failure._name() << std::endl;
        }
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::cout << "falha: " << failure._name() << std::endl;
    }
    return status;
}
