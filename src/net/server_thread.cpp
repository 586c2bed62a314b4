#include "net/server_thread.h"

#include <iostream>
#include <string>

#include "net/caller_address.h"
#include "net/connection_guard.h"
#include "net/controle_impl.h"
#include "net/corba_failure.h"
#include "net/estado_controle.h"
#include "net/fifo_server_impl.h"
#include "net/hosted_names.h"
#include "net/login_impl.h"
#include "net/orb_setup.h"
#include "net/read_only_naming_context.h"
#include "net/server_context.h"

// The three servants; they outlive the ORB that serves them.
struct ServerServants {
    explicit ServerServants(ServerContext& context)
        : fifo(context, currentCallerHost),
          controle(context, currentCallerHost),
          login(context, currentCallerHost) {}
    FifoServer_impl fifo;
    Controle_impl controle;
    Login_impl login;
};

namespace {

void report(const std::string& message) { std::cout << message << std::endl; }

// The ORB (or its endpoint, made with the root POA) did not start.
std::string orbStartFailure(const CORBA::Exception& failure, const ParametrosRede& params) {
    if (params.ownNamesEndpoint.empty())
        return describeCorbaFailure(failure, NetworkStage::StartingOrb, params.address);
    return ownNamesFailure(failure, params.ownNamesEndpoint);
}

}  // namespace

OrbServer::OrbServer(const ParametrosRede& params, ServerContext& context)
    : params_(params), context_(context), thread_([this] { serve(); }) {}

OrbServer::~OrbServer() { stop(); }

void OrbServer::setState(ServerState state) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = state;
    }
    stateChanged_.notify_all();
}

ServerState OrbServer::waitUntilStarted() {
    std::unique_lock<std::mutex> lock(mutex_);
    stateChanged_.wait(lock, [this] { return state_ != ServerState::Starting; });
    return state_;
}

void OrbServer::stop() {
    if (!thread_.joinable()) return;
    if (waitUntilStarted() == ServerState::Running) {
        try {
            orb_->shutdown(true);
        } catch (const CORBA::Exception&) {
            // Already shutting down.
        }
    }
    thread_.join();
    orb_ = CORBA::ORB::_nil();
    servants_.reset();
    ownNames_.reset();
    setState(ServerState::Stopped);
}

void OrbServer::serve() {
    CORBA::ORB_var orb;
    try {
        orb = startOrb("corrida-servidor", params_.address, params_.ownNamesEndpoint);
    } catch (const CORBA::Exception& failure) {
        report(orbStartFailure(failure, params_));
        setState(ServerState::Failed);
        return;
    }
    orb_ = CORBA::ORB::_duplicate(orb);
    auto callerAddresses = std::make_unique<CallerAddressWatch>();
    auto connectionGuard = std::make_unique<ConnectionGuard>(
        connectionsPerAddressFor(context_.spectators.maxPerAddress()), params_.webConnections);
    servants_ = std::make_unique<ServerServants>(context_);
    try {
        publishAndServe();
    } catch (const CORBA::Exception& failure) {
        bool running;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            running = state_ == ServerState::Running;
        }
        if (running) {
            report(std::string("O servidor de rede parou (") + failure._name() + ").");
        } else {
            report(orbStartFailure(failure, params_));
            setState(ServerState::Failed);
        }
    }
    // The interceptors go while the ORB is still there to ask for them.
    connectionGuard.reset();
    callerAddresses.reset();
    try {
        orb->destroy();
    } catch (const CORBA::Exception&) {
        // The process is leaving the server mode; nothing is left to tell the operator.
    }
    if (ownNames_) reportRefusedWrites(*ownNames_, std::cout);
}

void OrbServer::publishAndServe() {
    const std::string& address = params_.address;
    CORBA::Object_var poaObject = orb_->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
    PortableServer::POAManager_var manager = poa->the_POAManager();

    FifoServer_var fifoRef = servants_->fifo._this();
    Controle_var controleRef = servants_->controle._this();
    Login_var loginRef = servants_->login._this();

    if (!params_.ownNamesEndpoint.empty()) {
        ownNames_ = serveOwnNames(orb_, poa, fifoRef, loginRef, controleRef, std::cout);
    } else {
        try {
            CosNaming::NamingContext_var names = rootNamingContext(orb_);
            if (CORBA::is_nil(names)) {
                report("A referencia NameService em " + address +
                       ":9001 nao e um servico de nomes CORBA.");
                setState(ServerState::Failed);
                poa->destroy(true, true);
                return;
            }
            names->rebind(oneComponentName("fifo"), fifoRef);
            names->rebind(oneComponentName("login"), loginRef);
            names->rebind(oneComponentName("controle"), controleRef);
        } catch (const CORBA::Exception& failure) {
            report(describeCorbaFailure(failure, NetworkStage::NamingService, address));
            setState(ServerState::Failed);
            poa->destroy(true, true);
            return;
        }
    }

    std::cout << "Servidor Rodando!" << std::endl;
    manager->activate();
    setState(ServerState::Running);
    orb_->run();
    // Waits for requests in progress, so the servants can go. A shutdown that waited has already
    // destroyed the adapter.
    try {
        poa->destroy(true, true);
    } catch (const CORBA::OBJECT_NOT_EXIST&) {
    }
}
