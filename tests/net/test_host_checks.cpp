// Whether an address is this machine, whether a port answers, and the host of an endpoint.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/host_checks.h"

namespace {

// A TCP socket listening on 127.0.0.1 at a port the system picks; closed with the object.
struct LoopbackListener {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    LoopbackListener() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof(address);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(fd, 4) == 0 &&
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port = ntohs(address.sin_port);
        }
    }
    ~LoopbackListener() { close(); }
    void close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// An IPv4 address of one of this machine's interfaces other than loopback, if it has one.
std::string ownNonLoopbackAddress() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return "";
    std::string found;
    for (const ifaddrs* entry = interfaces; entry && found.empty(); entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
        const in_addr address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
        if ((ntohl(address.s_addr) >> 24) == 127) continue;
        char text[INET_ADDRSTRLEN];
        if (inet_ntop(AF_INET, &address, text, sizeof(text))) found = text;
    }
    freeifaddrs(interfaces);
    return found;
}

TEST(HostChecks, LoopbackAndOwnAddressesAreThisMachine) {
    for (const char* host : {"127.0.0.1", "localhost", "127.8.9.10", "::1"}) {
        EXPECT_TRUE(isThisMachine(host)) << host;
    }
    const std::string own = ownNonLoopbackAddress();
    if (!own.empty()) {
        EXPECT_TRUE(isThisMachine(own)) << own;
    }
    // Documentation-only addresses are nobody's; nothing is sent to them, only compared.
    for (const char* host : {"192.0.2.1", "2001:db8::1", "", "999.1.1.1"}) {
        EXPECT_FALSE(isThisMachine(host)) << host;
    }
}

TEST(HostChecks, PortAnswersOnlyWhileSomebodyListens) {
    LoopbackListener listener;
    ASSERT_NE(listener.port, 0);
    EXPECT_TRUE(answersOnPort("127.0.0.1", listener.port, 1000));
    listener.close();
    EXPECT_FALSE(answersOnPort("127.0.0.1", listener.port, 1000));
    EXPECT_FALSE(answersOnPort("", listener.port, 1000));
}

TEST(HostChecks, EndpointHost) {
    EXPECT_EQ(endpointHost("giop:tcp:127.0.0.1:"), "127.0.0.1");
    EXPECT_EQ(endpointHost("giop:tcp:192.168.0.10:5000"), "192.168.0.10");
    EXPECT_EQ(endpointHost("giop:tcp:[::1]:"), "::1");
    EXPECT_EQ(endpointHost("giop:tcp::"), "");
    EXPECT_EQ(endpointHost("giop:unix:/tmp/x"), "");
    EXPECT_EQ(endpointHost(nullptr), "");
}

}  // namespace
