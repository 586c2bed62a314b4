#include "net/server_thread.h"

#include <atomic>
#include <iostream>
#include <memory>

#include "platform/clock.h"
#include "net/controle_impl.h"
#include "net/corba_failure.h"
#include "net/estado_controle.h"
#include "net/fifo_server_impl.h"
#include "net/login_impl.h"
#include "net/orb_setup.h"
#include "net/server_context.h"

namespace {

std::atomic<EstadoServidor> serverState{EstadoServidor::Parado};
// Set by the server thread before it reports Rodando; used by stopServer() after that.
CORBA::ORB_ptr runningOrb = CORBA::ORB::_nil();

void report(const std::string& message) { std::cout << message << std::endl; }

// The three servants; they outlive the ORB that serves them.
struct Servants {
    explicit Servants(ServerContext& context)
        : fifo(context.recorder),
          controle(context.control, context.logins),
          login(context.logins) {}
    FifoServer_impl fifo;
    Controle_impl controle;
    Login_impl login;
};

// What the thread body receives.
struct ThreadStart {
    ParametrosRede params;
    ServerContext* context;
};
ThreadStart threadStart;

void* serverThread(void*);

// Publishes the servants and runs the request loop; returns when the loop ends.
void publishAndServe(CORBA::ORB_ptr orb, Servants& servants, const std::string& address) {
    CORBA::Object_var poaObject = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
    PortableServer::POAManager_var manager = poa->the_POAManager();

    FifoServer_var fifoRef = servants.fifo._this();
    Controle_var controleRef = servants.controle._this();
    Login_var loginRef = servants.login._this();

    try {
        CosNaming::NamingContext_var names = rootNamingContext(orb);
        if (CORBA::is_nil(names)) {
            report("A referencia NameService em " + address +
                   ":9001 nao e um servico de nomes CORBA.");
            serverState = EstadoServidor::Falhou;
            poa->destroy(true, true);
            return;
        }
        names->rebind(oneComponentName("fifo"), fifoRef);
        names->rebind(oneComponentName("login"), loginRef);
        names->rebind(oneComponentName("controle"), controleRef);
    } catch (const CORBA::Exception& failure) {
        report(describeCorbaFailure(failure, EtapaRede::ServicoDeNomes, address));
        serverState = EstadoServidor::Falhou;
        poa->destroy(true, true);
        return;
    }

    std::cout << "Servidor Rodando!" << std::endl;
    manager->activate();
    runningOrb = orb;
    serverState = EstadoServidor::Rodando;
    orb->run();
    // Waits for requests in progress, so the servants can go. A shutdown that waited has already
    // destroyed the adapter.
    try {
        poa->destroy(true, true);
    } catch (const CORBA::OBJECT_NOT_EXIST&) {
    }
}

}  // namespace

int startServerThread(const ParametrosRede& params, ServerContext& context, pthread_t& thread) {
    serverState = EstadoServidor::Iniciando;
    threadStart = {params, &context};
    const int result = pthread_create(&thread, nullptr, serverThread, &threadStart);
    if (result != 0) serverState = EstadoServidor::Parado;
    return result;
}

namespace {

void* serverThread(void* start) {
    const ParametrosRede own = static_cast<ThreadStart*>(start)->params;
    ServerContext& context = *static_cast<ThreadStart*>(start)->context;
    CORBA::ORB_var orb;
    try {
        orb = startOrb("a parameter", own.address);
    } catch (const CORBA::Exception& failure) {
        report(describeCorbaFailure(failure, EtapaRede::IniciarOrb, own.address));
        serverState = EstadoServidor::Falhou;
        return nullptr;
    }
    auto servants = std::make_unique<Servants>(context);
    try {
        publishAndServe(orb, *servants, own.address);
    } catch (const CORBA::Exception& failure) {
        if (serverState.load() == EstadoServidor::Rodando) {
            report(std::string("O servidor de rede parou (") + failure._name() + ").");
        } else {
            report(describeCorbaFailure(failure, EtapaRede::IniciarOrb, own.address));
            serverState = EstadoServidor::Falhou;
        }
    }
    try {
        orb->destroy();
    } catch (const CORBA::Exception&) {
        // The process is leaving the server mode; nothing is left to tell the operator.
    }
    return nullptr;
}

}  // namespace

EstadoServidor waitForServerStart() {
    EstadoServidor state;
    while ((state = serverState.load()) == EstadoServidor::Iniciando) sleepMs(1);
    return state;
}

void stopServer(pthread_t thread) {
    if (serverState.load() == EstadoServidor::Rodando) {
        try {
            runningOrb->shutdown(true);
        } catch (const CORBA::Exception&) {
            // Already shutting down.
        }
    }
    pthread_join(thread, nullptr);
    runningOrb = CORBA::ORB::_nil();
    serverState = EstadoServidor::Parado;
}
