#include "net/host_checks.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

struct AddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

AddressList resolve(const std::string& host, const char* service) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    if (service) hints.ai_flags = AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), service, &hints, &list) != 0) return nullptr;
    return AddressList(list);
}

bool isLoopback(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
        return (ntohl(ipv4->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family == AF_INET6) {
        const auto* ipv6 = reinterpret_cast<const sockaddr_in6*>(address);
        return IN6_IS_ADDR_LOOPBACK(&ipv6->sin6_addr);
    }
    return false;
}

bool sameHost(const sockaddr* a, const sockaddr* b) {
    if (a->sa_family != b->sa_family) return false;
    if (a->sa_family == AF_INET) {
        return reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr ==
               reinterpret_cast<const sockaddr_in*>(b)->sin_addr.s_addr;
    }
    if (a->sa_family == AF_INET6) {
        return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr,
                           &reinterpret_cast<const sockaddr_in6*>(b)->sin6_addr,
                           sizeof(in6_addr)) == 0;
    }
    return false;
}

bool isInterfaceAddress(const sockaddr* address) {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return false;
    bool found = false;
    for (const ifaddrs* entry = interfaces; entry && !found; entry = entry->ifa_next) {
        found = entry->ifa_addr && sameHost(entry->ifa_addr, address);
    }
    freeifaddrs(interfaces);
    return found;
}

// A connection attempt that gives up after `timeoutMs`.
bool connects(const addrinfo& address, int timeoutMs) {
    const int socketFd = socket(
        address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
    if (socketFd < 0) return false;
    bool connected = connect(socketFd, address.ai_addr, address.ai_addrlen) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd watch{socketFd, POLLOUT, 0};
        if (poll(&watch, 1, timeoutMs) == 1) {
            int error = 0;
            socklen_t size = sizeof(error);
            connected =
                getsockopt(socketFd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
    }
    close(socketFd);
    return connected;
}

}  // namespace

bool isThisMachine(const std::string& host) {
    const AddressList addresses = resolve(host, nullptr);
    for (const addrinfo* entry = addresses.get(); entry; entry = entry->ai_next) {
        if (isLoopback(entry->ai_addr) || isInterfaceAddress(entry->ai_addr)) return true;
    }
    return false;
}

bool answersOnPort(const std::string& host, int port, int timeoutMs) {
    const AddressList addresses = resolve(host, std::to_string(port).c_str());
    for (const addrinfo* entry = addresses.get(); entry; entry = entry->ai_next) {
        if (connects(*entry, timeoutMs)) return true;
    }
    return false;
}

std::string endpointHost(const char* endpoint) {
    const std::string prefix = "giop:tcp:";
    if (!endpoint) return "";
    const std::string text = endpoint;
    if (text.compare(0, prefix.size(), prefix) != 0) return "";
    const std::string rest = text.substr(prefix.size());
    const size_t colon = rest.rfind(':');
    std::string host = colon == std::string::npos ? rest : rest.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return host;
}
