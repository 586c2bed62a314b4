#include "app/web_hosting.h"

#include <cstdlib>
#include <iostream>

#include "net/caller_address.h"
#include "net/descriptor_budget.h"
#include "web/web_port.h"

namespace {

// The host an ORBendPoint such as "giop:tcp:127.0.0.1:9001" pins; "" for every interface.
std::string pinnedHost(const char* endpoint) {
    if (!endpoint || std::string(endpoint).rfind("giop:tcp:", 0) != 0) return "";
    const std::string host = hostOfPeerAddress(endpoint);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        return host.substr(1, host.size() - 2);
    }
    return host;
}

}  // namespace

SurfaceOpener webPortOpener(ParametrosRede& params) {
    if (params.webPort == 0) return {};
    const ConnectionCaps caps = webCapsForDescriptors(raiseDescriptorLimit(), openDescriptors());
    params.webConnections = caps.total;
    const std::string host = pinnedHost(std::getenv("ORBendPoint"));
    const int port = params.webPort;
    return [host, port, caps](ServerContext& server) -> std::unique_ptr<BatchSubscriber> {
        std::unique_ptr<WebPort> web = WebPort::open(server, host, port, caps, std::cout);
        if (!web) return nullptr;
        std::cout << "Pagina para navegadores na porta " << web->port() << ": http://"
                  << (host.empty() ? "<endereco deste computador>" : host) << ":" << web->port()
                  << "/" << std::endl;
        return web;
    };
}
