// delay_relay: a TCP relay that delays every chunk by a fixed time (and optional jitter) in each
// direction, for trying network play over a slow link on one machine.
//
//   delay_relay LISTEN_PORT TARGET_HOST TARGET_PORT DELAY_MS [JITTER_MS] [--seed N]
//
// Prints "relay listening on 127.0.0.1:PORT" once it accepts; SIGINT or SIGTERM end it (exit 0),
// after a line with the bytes it carried each way; SIGUSR1 prints that count on stderr at once
// ("delay_relay: carried N bytes from clients and M bytes to them"), then one line for each
// connection open ("delay_relay: connection from port P carried N bytes from the client and M
// bytes to it", P being the port the client connects from).
// Bad arguments: exit 2; no socket to listen on: exit 1.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "relay_options.h"
#include "relay_server.h"

namespace {

std::atomic<RelayServer*> g_server{nullptr};

void onStopSignal(int) {
    if (RelayServer* server = g_server.load()) server->requestStop();
}

int refuseArguments(const std::string& reason) {
    std::fprintf(stderr, "delay_relay: %s\n%s\n", reason.c_str(), kRelayUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedRelayOptions parsed =
        parseRelayOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) return refuseArguments(parsed.error);
    const RelayOptions& options = *parsed.options;

    std::string error;
    const auto target = resolveTarget(options.targetHost, options.targetPort, error);
    if (!target) return refuseArguments(error);

    RelayServer::Settings settings;
    settings.listenPort = options.listenPort;
    settings.target = *target;
    settings.delay = options.delay;
    settings.jitter = options.jitter;
    settings.seed = options.seed ? *options.seed : std::random_device{}();
    const auto server = RelayServer::start(settings, error, [](const std::string& line) {
        std::fprintf(stderr, "delay_relay: %s\n", line.c_str());
    });
    if (!server) {
        std::fprintf(stderr, "delay_relay: %s\n", error.c_str());
        return 1;
    }

    g_server = server.get();
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // SIGUSR1: the bytes carried so far, in all and by connection.
    struct sigaction report {};
    report.sa_handler = [](int) {
        if (RelayServer* server = g_server.load()) server->requestCarriedReport();
    };
    sigemptyset(&report.sa_mask);
    sigaction(SIGUSR1, &report, nullptr);

    std::printf("relay listening on 127.0.0.1:%u\n", static_cast<unsigned>(server->port()));
    std::fflush(stdout);
    const bool stopped = server->run();
    g_server = nullptr;
    const RelayServer::Carried carried = server->carried();
    std::printf("relay carried %llu bytes from clients and %llu bytes to them\n",
                static_cast<unsigned long long>(carried.fromClients),
                static_cast<unsigned long long>(carried.fromTargets));
    std::fflush(stdout);
    return stopped ? 0 : 1;
}
