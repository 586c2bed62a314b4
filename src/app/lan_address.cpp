#include "app/lan_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

constexpr const char* kLoopback = "127.0.0.1";

}  // namespace

std::string lanAddress() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return kLoopback;
    std::string found;
    for (const ifaddrs* i = interfaces; i && found.empty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) found = text;
    }
    freeifaddrs(interfaces);
    return found.empty() ? kLoopback : found;
}
