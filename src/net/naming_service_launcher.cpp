#include "net/naming_service_launcher.h"

#include <cstdlib>

#include "net/host_checks.h"
#include "net/orb_setup.h"

namespace {

constexpr int kAnswerTimeoutMs = 1000;

}  // namespace

HostedNamingService::HostedNamingService(const std::string& address, std::ostream& console)
    : console_(console) {
    if (!isThisMachine(address) || answersOnPort(address, kNamingServicePort, kAnswerTimeoutMs))
        return;
    NamingServiceChild::Options options;
    options.port = kNamingServicePort;
    options.listenHost = endpointHost(std::getenv("ORBendPoint"));
    std::string problem;
    child_ = NamingServiceChild::start(options, problem);
    if (!child_) {
        console_ << "Nao foi possivel iniciar o servico de nomes nesta maquina: " << problem << "."
                 << std::endl;
        ready_ = false;
        return;
    }
    console_ << "Servico de nomes iniciado nesta maquina na porta " << kNamingServicePort
             << " (omniNames, processo " << child_->pid() << ", dados em " << child_->dataFolder()
             << "); ele sera encerrado junto com o servidor." << std::endl;
}

HostedNamingService::~HostedNamingService() {
    if (!child_) return;
    child_.reset();
    console_ << "Servico de nomes encerrado." << std::endl;
}
