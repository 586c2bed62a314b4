#include "net/open_connections.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>

namespace {

// The kernel's TCP states in which the server's end of a connection is still open.
constexpr int kEstablished = 0x01;
constexpr int kSynReceived = 0x03;
constexpr int kCloseWait = 0x08;

std::string textOf(const in6_addr& address) {
    if (IN6_IS_ADDR_V4MAPPED(&address)) {
        in_addr v4;
        std::memcpy(&v4, address.s6_addr + 12, sizeof v4);
        char text[INET_ADDRSTRLEN];
        return inet_ntop(AF_INET, &v4, text, sizeof text);
    }
    char text[INET6_ADDRSTRLEN];
    return inet_ntop(AF_INET6, &address, text, sizeof text);
}

std::optional<int> portOf(const std::string& text, int base) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    char* end = nullptr;
    const long port = std::strtol(text.c_str(), &end, base);
    if (*end != '\0' || port < 0 || port > 65535) return std::nullopt;
    return static_cast<int>(port);
}

// "HOST:PORT" of the ORB's endpoint text, HOST maybe in brackets.
std::optional<std::pair<std::string, int>> hostAndPort(const std::string& endpoint) {
    constexpr std::string_view kPrefix = "giop:tcp:";
    if (endpoint.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
    const std::string rest = endpoint.substr(kPrefix.size());
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos) return std::nullopt;
    std::optional<std::string> host = canonicalAddress(rest.substr(0, colon));
    std::optional<int> port = portOf(rest.substr(colon + 1), 10);
    if (!host || !port) return std::nullopt;
    return std::make_pair(*host, *port);
}

bool hexWord(const std::string& text, size_t at, uint32_t& word) {
    if (at + 8 > text.size()) return false;
    word = 0;
    for (size_t i = at; i < at + 8; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return false;
        }
        word = word << 4 | static_cast<uint32_t>(digit);
    }
    return true;
}

// One "ADDRESS:PORT" field of a kernel table: the address as the machine's words in hex (one word
// for IPv4, four for IPv6), the port in hex.
std::optional<std::pair<std::string, int>> tableEndpoint(const std::string& field, bool ipv6) {
    const size_t colon = field.find(':');
    const size_t words = ipv6 ? 4 : 1;
    if (colon != words * 8) return std::nullopt;
    std::optional<int> port = portOf(field.substr(colon + 1), 16);
    if (!port) return std::nullopt;
    in6_addr address{};
    if (ipv6) {
        for (size_t w = 0; w < 4; ++w) {
            uint32_t word;
            if (!hexWord(field, w * 8, word)) return std::nullopt;
            std::memcpy(address.s6_addr + w * 4, &word, 4);
        }
    } else {
        uint32_t word;
        if (!hexWord(field, 0, word)) return std::nullopt;
        address.s6_addr[10] = 0xff;
        address.s6_addr[11] = 0xff;
        std::memcpy(address.s6_addr + 12, &word, 4);
    }
    return std::make_pair(textOf(address), *port);
}

std::optional<std::string> readWhole(const char* path) {
    std::ifstream file(path);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

std::optional<std::string> canonicalAddress(const std::string& address) {
    std::string bare = address;
    if (bare.size() >= 2 && bare.front() == '[' && bare.back() == ']') {
        bare = bare.substr(1, bare.size() - 2);
    }
    in_addr v4;
    if (inet_pton(AF_INET, bare.c_str(), &v4) == 1) {
        char text[INET_ADDRSTRLEN];
        return std::string(inet_ntop(AF_INET, &v4, text, sizeof text));
    }
    in6_addr v6;
    if (inet_pton(AF_INET6, bare.c_str(), &v6) == 1) return textOf(v6);
    return std::nullopt;
}

std::optional<ConnectionKey> connectionFromEndpoints(const std::string& local,
                                                     const std::string& peer) {
    auto mine = hostAndPort(local);
    auto theirs = hostAndPort(peer);
    if (!mine || !theirs) return std::nullopt;
    return ConnectionKey{theirs->first, theirs->second, mine->second};
}

void addOpenConnections(const std::string& table, bool ipv6, const std::set<int>& localPorts,
                        std::set<ConnectionKey>& open) {
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line);  // the column titles
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        if (!(fields >> slot >> local >> remote >> state)) continue;
        auto mine = tableEndpoint(local, ipv6);
        auto theirs = tableEndpoint(remote, ipv6);
        std::optional<int> stateCode = portOf(state, 16);
        if (!mine || !theirs || !stateCode) continue;
        if (localPorts.count(mine->second) == 0) continue;
        if (*stateCode != kEstablished && *stateCode != kSynReceived && *stateCode != kCloseWait) {
            continue;
        }
        open.insert(ConnectionKey{theirs->first, theirs->second, mine->second});
    }
}

std::optional<std::set<ConnectionKey>> openConnectionsOn(const std::set<int>& localPorts) {
    std::optional<std::string> v4 = readWhole("/proc/net/tcp");
    std::optional<std::string> v6 = readWhole("/proc/net/tcp6");
    if (!v4 && !v6) return std::nullopt;
    std::set<ConnectionKey> open;
    if (v4) addOpenConnections(*v4, false, localPorts, open);
    if (v6) addOpenConnections(*v6, true, localPorts, open);
    return open;
}
