#include "net/hosted_names.h"

#include "net/host_checks.h"
#include "net/orb_setup.h"
#include "net/read_only_naming_context.h"

namespace {

constexpr int kAnswerTimeoutMs = 1000;

}  // namespace

std::string ownNamesEndpoint(const std::string& address, const char* environmentEndpoint) {
    if (!isThisMachine(address) || answersOnPort(address, kNamingServicePort, kAnswerTimeoutMs))
        return "";
    std::string host = endpointHost(environmentEndpoint);
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return "giop:tcp:" + host + ":" + std::to_string(kNamingServicePort);
}

std::string ownNamesFailure(const CORBA::Exception& failure, const std::string& endpoint) {
    return "Nao foi possivel servir os nomes deste servidor em " + endpoint + " (" +
           failure._name() +
           "): a porta esta em uso ou o endereco de ORBendPoint nao e desta maquina.";
}

std::unique_ptr<ReadOnlyNamingContext> serveOwnNames(
    CORBA::ORB_ptr orb, PortableServer::POA_ptr rootPoa, CORBA::Object_ptr fifo,
    CORBA::Object_ptr login, CORBA::Object_ptr controle, std::ostream& console) {
    ReadOnlyNamingContext::Bindings bindings;
    bindings.emplace_back("fifo", CORBA::Object::_duplicate(fifo));
    bindings.emplace_back("login", CORBA::Object::_duplicate(login));
    bindings.emplace_back("controle", CORBA::Object::_duplicate(controle));
    auto names = std::make_unique<ReadOnlyNamingContext>(
        rootPoa, std::move(bindings), [&console](NamingWrite kind) {
            console << "Os nomes deste servidor sao somente leitura: um pedido de "
                    << namingWriteName(kind)
                    << " foi recusado (os proximos deste tipo so serao contados)." << std::endl;
        });
    CORBA::Object_var insObject = orb->resolve_initial_references("omniINSPOA");
    PortableServer::POA_var ins = PortableServer::POA::_narrow(insObject);
    PortableServer::ObjectId_var key = PortableServer::string_to_ObjectId("NameService");
    ins->activate_object_with_id(key, names.get());
    PortableServer::POAManager_var manager = ins->the_POAManager();
    manager->activate();
    console << "Os nomes fifo, login e controle sao servidos por este servidor na porta "
            << kNamingServicePort << " (somente leitura); nao e preciso servico de nomes."
            << std::endl;
    return names;
}

void reportRefusedWrites(const ReadOnlyNamingContext& names, std::ostream& console) {
    const unsigned long total = names.totalRefusals();
    console << "Pedidos de escrita recusados nos nomes deste servidor: " << total;
    if (total > 0) console << " (" << names.refusalSummary() << ")";
    console << "." << std::endl;
}
