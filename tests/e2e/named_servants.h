// The start-up the end-to-end tests' own servers share: an ORB that finds the naming service at
// ADDRESS:9001, three servants bound there as "fifo", "login" and "controle", a line saying they
// are ready, and a run until SIGTERM or SIGINT. Each server brings its servants, built from its
// own copy of the remote interfaces.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace named_servants {

inline std::atomic<bool> stopRequested{false};
inline void requestStop(int) { stopRequested = true; }

inline CosNaming::Name named(const char* id) {
    CosNaming::Name name;
    name.length(1);
    name[0].id = CORBA::string_dup(id);
    name[0].kind = CORBA::string_dup("");
    return name;
}

// Serves `fifo`, `login` and `controle` under the game's names until asked to stop; prints `ready`
// once they are bound. Returns the program's status.
template <typename Fifo, typename Login, typename Controle>
int serve(const char* program, const char* address, Fifo& fifo, Login& login, Controle& controle,
          const char* ready) {
    const std::string reference =
        std::string("NameService=corbaloc::") + address + ":9001/NameService";
    std::string slot = program, option = "-ORBInitRef", value = reference;
    char* orbArgs[] = {slot.data(), option.data(), value.data(), nullptr};
    int orbArgc = 3;
    try {
        CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgs, "");
        CORBA::Object_var poaObject = orb->resolve_initial_references("RootPOA");
        PortableServer::POA_var poa = PortableServer::POA::_narrow(poaObject);
        CORBA::Object_var fifoRef = fifo._this();
        CORBA::Object_var loginRef = login._this();
        CORBA::Object_var controleRef = controle._this();
        CORBA::Object_var namesObject = orb->resolve_initial_references("NameService");
        CosNaming::NamingContext_var names = CosNaming::NamingContext::_narrow(namesObject);
        names->rebind(named("fifo"), fifoRef);
        names->rebind(named("login"), loginRef);
        names->rebind(named("controle"), controleRef);
        PortableServer::POAManager_var manager = poa->the_POAManager();
        manager->activate();
        signal(SIGTERM, requestStop);
        signal(SIGINT, requestStop);
        std::printf("%s\n", ready);
        std::fflush(stdout);
        while (!stopRequested) usleep(20000);
        orb->shutdown(true);
        orb->destroy();
    } catch (const CORBA::Exception& failure) {
        std::fprintf(stderr, "%s: %s\n", program, failure._name());
        return 1;
    }
    return 0;
}

}  // namespace named_servants
