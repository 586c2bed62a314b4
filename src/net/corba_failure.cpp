#include "net/corba_failure.h"

#include <omniORB4/CORBA.h>
#include <omniORB4/minorCode.h>

#include "net/orb_setup.h"

namespace {

std::string nameServiceAt(const std::string& address) {
    return address + ":" + std::to_string(kNamingServicePort);
}

}  // namespace

bool isCallTimeout(const CORBA::Exception& failure) {
    if (CORBA::TIMEOUT::_downcast(&failure) != nullptr) return true;
    const CORBA::TRANSIENT* transient = CORBA::TRANSIENT::_downcast(&failure);
    return transient != nullptr && transient->minor() == omni::TRANSIENT_CallTimedout;
}

std::string describeCorbaFailure(const CORBA::Exception& failure, NetworkStage stage,
                                 const std::string& address) {
    const std::string kind = failure._name();
    switch (stage) {
        case NetworkStage::StartingOrb:
            return "Nao foi possivel iniciar o ORB (" + kind +
                   "). Confira o endereco digitado e as variaveis ORB* do ambiente.";
        case NetworkStage::NamingService:
            if (CosNaming::NamingContext::NotFound::_downcast(&failure) != nullptr) {
                return "O servidor nao esta registrado no servico de nomes em " +
                       nameServiceAt(address) + ". Inicie o servidor antes dos clientes.";
            }
            if (isCallTimeout(failure)) {
                return "O servico de nomes em " + nameServiceAt(address) +
                       " nao respondeu a tempo.";
            }
            if (CORBA::NO_PERMISSION::_downcast(&failure) != nullptr) {
                return "O servico de nomes em " + nameServiceAt(address) +
                       " recusou o registro (NO_PERMISSION): ali ja roda um servidor que serve os "
                       "proprios nomes.";
            }
            return "Nao foi possivel contatar o servico de nomes em " + nameServiceAt(address) +
                   " (" + kind + "). Ele esta rodando (scripts/naming-service)?";
        case NetworkStage::Joining:
            if (isCallTimeout(failure))
                return "O servidor nao respondeu a tempo ao pedido de entrada.";
            return "O servidor registrado no servico de nomes nao responde (" + kind +
                   "): ele foi encerrado ou esta inacessivel.";
        case NetworkStage::Playing:
            if (isCallTimeout(failure)) return "O servidor parou de responder.";
            return "A conexao com o servidor foi perdida (" + kind + ").";
    }
    return kind;
}
