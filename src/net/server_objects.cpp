#include "net/server_objects.h"

#include <iostream>

#include "net/corba_failure.h"
#include "net/orb_setup.h"
#include "net/server_references.h"

namespace {

// Resolves `id` in the root context; throws CORBA exceptions (NotFound for an unbound name).
CORBA::Object_ptr lookUp(CosNaming::NamingContext_ptr names, const char* id) {
    return names->resolve(oneComponentName(id));
}

}  // namespace

bool findServer(CORBA::ORB_ptr orb, const std::string& address, ServerObjects& server) {
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
        std::cout << describeCorbaFailure(failure, NetworkStage::NamingService, address)
                  << std::endl;
        return false;
    }
    if (CORBA::is_nil(server.fifo) || CORBA::is_nil(server.login) ||
        CORBA::is_nil(server.controle)) {
        std::cout << "Os nomes fifo, login e controle do servico de nomes nao levam a um servidor "
                     "deste jogo."
                  << std::endl;
        return false;
    }
    std::string places;
    if (!sameServer(orb, {server.fifo, server.login, server.controle}, places)) {
        std::cout << "Os nomes fifo, login e controle do servico de nomes em " << address
                  << ":9001 levam a servidores diferentes (" << places
                  << "): alguem trocou nomes nesse servico de nomes. A entrada foi cancelada."
                  << std::endl;
        return false;
    }
    return true;
}
