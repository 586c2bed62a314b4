#include "net/client_session.h"

#include <allegro.h>
#include <pthread.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>

#include "app/clock.h"
#include "app/graphics.h"
#include "corrida.hh"
#include "net/corba_failure.h"
#include "net/orb_setup.h"
#include "stream/interpreter.h"

namespace {

// How the session ended when it was not by Escape: the first failure's message, and a flag both
// loops watch so that either thread's failure ends the other too.
struct FimDeSessao {
    std::atomic<bool> over{false};
    std::mutex lock;
    std::string reason;

    void fail(const std::string& message) {
        std::lock_guard<std::mutex> hold(lock);
        if (reason.empty()) reason = message;
        over = true;
    }
    bool keepGoing() const { return !key[KEY_ESC] && !over.load(); }
};

struct ReceiveArgs {
    FifoServer_var fifo;
    int player;
    FimDeSessao* end;
    std::string address;
};

// The server's three objects, found through the naming service.
struct ObjetosDoServidor {
    FifoServer_var fifo;
    Login_var login;
    Controle_var controle;
};

// Resolves `id` in the root context; throws CORBA exceptions (NotFound for an unbound name).
CORBA::Object_ptr lookUp(CosNaming::NamingContext_ptr names, const char* id) {
    return names->resolve(oneComponentName(id));
}

// Finds the three objects; prints why and returns false when it cannot.
bool findServer(CORBA::ORB_ptr orb, const std::string& address, ObjetosDoServidor& server) {
    try {
        CosNaming::NamingContext_var names = rootNamingContext(orb);
        if (CORBA::is_nil(names)) {
            std::cout << "A referencia NameService em " << address
                      << ":9001 nao e um servico de nomes CORBA." << std::endl;
            return false;
        }
        CORBA::Object_var fifo = lookUp(names, "fifo");
        server.fifo = FifoServer::_narrow(fifo);
        CORBA::Object_var login = lookUp(names, "login");
        server.login = Login::_narrow(login);
        CORBA::Object_var controle = lookUp(names, "controle");
        server.controle = Controle::_narrow(controle);
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::ServicoDeNomes, address) << std::endl;
        return false;
    }
    if (CORBA::is_nil(server.fifo) || CORBA::is_nil(server.login) ||
        CORBA::is_nil(server.controle)) {
        std::cout << "Os nomes fifo, login e controle do servico de nomes nao levam a um servidor "
                     "deste jogo."
                  << std::endl;
        return false;
    }
    return true;
}

// Joins the server: the player number, -1 when the server is full, nothing when the call
// failed (the reason is printed).
std::optional<int> joinServer(Login_ptr login, const std::string& address) {
    try {
        return login->logar();
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::Entrar, address) << std::endl;
        return std::nullopt;
    }
}

void* receiveThread(void* argument) {
    ReceiveArgs& args = *static_cast<ReceiveArgs*>(argument);
    ListaBitmaps registry;
    FifoServer_var fifo = FifoServer::_duplicate(args.fifo);
    const CORBA::UShort player = static_cast<CORBA::UShort>(args.player);
    while (args.end->keepGoing()) {
        try {
            CORBA::String_var batch = fifo->getInstructions(player);
            if (batch[0] != '\0') {
                executeBatch(registry, batch.in());
            } else {
                // Nothing recorded yet: a short rest instead of hammering the server with requests.
                restBetweenPolls();
            }
        } catch (const CORBA::Exception& failure) {
            args.end->fail(describeCorbaFailure(failure, EtapaRede::Jogo, args.address));
        }
    }
    return nullptr;
}

// Sends one remote key press; a failure ends the session.
template <typename Call>
void sendKey(int scanCode, Call call, FimDeSessao& end, const std::string& address) {
    if (!key[scanCode]) return;
    try {
        call();
    } catch (const CORBA::Exception& failure) {
        end.fail(describeCorbaFailure(failure, EtapaRede::Jogo, address));
    }
    key[scanCode] = 0;
}

// The window's life: receiving thread, key loop, join. Returns the failure message, if any.
std::string play(ObjetosDoServidor& server, int player, const std::string& address) {
    FimDeSessao end;
    ReceiveArgs args{FifoServer::_duplicate(server.fifo), player, &end, address};

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_JOINABLE);
    pthread_t receiver;
    int result = pthread_create(&receiver, &attributes, receiveThread, &args);
    pthread_attr_destroy(&attributes);
    if (result != 0) {
        std::printf("ERROR; return code from pthread_create() is %d\n", result);
        std::fflush(stdout);
        std::exit(-1);
    }

    const CORBA::Short ownNumber = static_cast<CORBA::Short>(player);
    while (end.keepGoing()) {
        sendKey(
            KEY_X, [&] { server.controle->alterarGravidade(ownNumber); }, end, address);
        sendKey(
            KEY_P, [&] { server.controle->pausar(); }, end, address);
        sendKey(
            KEY_F10, [&] { server.controle->usarCheat(); }, end, address);
        restBetweenPolls();
    }
    // Escape is never cleared, so the receiving thread sees it too; a failure sets `over`.
    end.over = true;
    result = pthread_join(receiver, nullptr);
    if (result != 0) {
        std::printf("ERROR; return code from pthread_join() is %d\n", result);
        std::fflush(stdout);
        std::exit(-1);
    }
    return end.reason;
}

}  // namespace

void runClientSession(ParametrosRede& params) {
    const std::string& address = params.address;
    CORBA::ORB_var orb;
    try {
        orb = startOrb("ABC", address);
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::IniciarOrb, address) << std::endl;
        return;
    }

    {
        ObjetosDoServidor server;
        if (findServer(orb, address, server)) {
            const std::optional<int> player = joinServer(server.login, address);
            if (!player) {
                // Already reported.
            } else if (*player == -1) {
                std::cout << "O servidor ja esta cheio" << std::endl;
            } else if (*player < 1 || *player > kMaxPlayers) {
                std::cout << "O servidor respondeu com um numero de jogador invalido: " << *player
                          << std::endl;
            } else {
                std::cout << "VOCE EH O PLAYER: " << *player << std::endl;
                if (startGraphics()) {
                    const std::string failure = play(server, *player, address);
                    stopGraphics();
                    if (!failure.empty()) std::cout << failure << std::endl;
                }
            }
        }
    }

    try {
        orb->destroy();
    } catch (const CORBA::Exception&) {
        // The session is over either way.
    }
}
