// source_address: a preloaded library that makes a test peer's TCP connections leave from the
// loopback address in CORRIDA_SOURCE_ADDRESS (say 127.0.0.2) instead of 127.0.0.1, so that on one
// machine the server sees that peer as a stranger at an address of its own.
//
//   LD_PRELOAD=libsource_address.so CORRIDA_SOURCE_ADDRESS=127.0.0.2 PROGRAM...
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>

extern "C" int connect(int socket, const struct sockaddr* address, socklen_t length) {
    using Connect = int (*)(int, const struct sockaddr*, socklen_t);
    static const Connect next = reinterpret_cast<Connect>(dlsym(RTLD_NEXT, "connect"));
    const char* source = std::getenv("CORRIDA_SOURCE_ADDRESS");
    if (source != nullptr && address != nullptr && address->sa_family == AF_INET) {
        sockaddr_in from;
        std::memset(&from, 0, sizeof from);
        from.sin_family = AF_INET;
        from.sin_port = 0;
        if (inet_pton(AF_INET, source, &from.sin_addr) == 1) {
            // A socket bound already keeps its address; this fails harmlessly then.
            bind(socket, reinterpret_cast<const sockaddr*>(&from), sizeof from);
        }
    }
    return next(socket, address, length);
}
