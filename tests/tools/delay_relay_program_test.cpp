// The delay_relay program as a script uses it: it announces the port it took, relays with the
// delay, counts what it carried in all and by connection on SIGUSR1, ends cleanly on SIGTERM, and
// refuses bad arguments with exit status 2.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>
#include <string>
#include <vector>

#include "loopback_peers.h"

using namespace std::chrono_literals;

extern char** environ;

namespace {

struct Spawned {
    pid_t pid = -1;
    UniqueFd output;  // stdout, stderr or both, as asked
};

// The captured descriptors all write to one pipe, read from `output`.
Spawned spawnRelay(std::vector<std::string> args, std::vector<int> capturedFds) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    Spawned spawned;
    spawned.output = UniqueFd(pipeFds[0]);
    UniqueFd writeEnd(pipeFds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : capturedFds) posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), fd);
    args.insert(args.begin(), DELAY_RELAY_PROGRAM);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&spawned.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        spawned.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return spawned;
}

// Reads up to the first newline, or everything until the end; gives up after 10 s.
std::string readLine(int fd, bool wholeOutput = false) {
    std::string text;
    char c;
    pollfd entry{fd, POLLIN, 0};
    while (poll(&entry, 1, 10'000) > 0 && read(fd, &c, 1) == 1) {
        if (c == '\n' && !wholeOutput) break;
        text += c;
    }
    return text;
}

// The local port of a connected socket: the port the relay sees its client connect from.
uint16_t localPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

int exitStatusOf(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

TEST(DelayRelayProgram, AnnouncesItsPortRelaysWithTheDelayAndCountsWhatItCarriedOnSigterm) {
    LoopbackServer echo(LoopbackServer::Mode::Echo);
    Spawned relay =
        spawnRelay({"0", "127.0.0.1", std::to_string(echo.port()), "25"}, {STDOUT_FILENO});
    ASSERT_GT(relay.pid, 0);
    const std::string line = readLine(relay.output.get());
    const std::string prefix = "relay listening on 127.0.0.1:";
    ASSERT_EQ(line.substr(0, prefix.size()), prefix) << line;
    const int port = std::stoi(line.substr(prefix.size()));
    EXPECT_GT(port, 0);

    {
        const UniqueFd client = connectToLoopback(static_cast<uint16_t>(port));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(exchangeThrough(client.get(), "over the slow link", 4, 0us),
                  "over the slow link");
        EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    }
    kill(relay.pid, SIGTERM);
    // Its last word: the bytes it carried each way (18 each, echoed).
    EXPECT_EQ(readLine(relay.output.get()),
              "relay carried 18 bytes from clients and 18 bytes to them");
    EXPECT_EQ(exitStatusOf(relay.pid), 0);
}

TEST(DelayRelayProgram, Sigusr1CountsWhatItCarriedInAllAndForEachConnectionByItsClientPort) {
    // The greeting makes the two directions differ.
    const std::string greeting = "hello";
    LoopbackServer echo(LoopbackServer::Mode::Echo, greeting);
    Spawned relay = spawnRelay({"0", "127.0.0.1", std::to_string(echo.port()), "0"},
                               {STDOUT_FILENO, STDERR_FILENO});
    ASSERT_GT(relay.pid, 0);
    const std::string line = readLine(relay.output.get());
    const std::string prefix = "relay listening on 127.0.0.1:";
    ASSERT_EQ(line.substr(0, prefix.size()), prefix) << line;
    const auto port = static_cast<uint16_t>(std::stoi(line.substr(prefix.size())));

    // Three connections carrying different amounts, each greeted and echoed whole before the count.
    const std::vector<std::string> payloads = {"a", std::string(300, 'b'), std::string(7000, 'c')};
    std::vector<UniqueFd> clients;
    std::map<uint16_t, size_t> sizeByPort;
    for (const std::string& payload : payloads) {
        clients.push_back(connectToLoopback(port));
        std::string greeted(greeting.size(), '\0');
        ASSERT_EQ(recv(clients.back().get(), greeted.data(), greeted.size(), MSG_WAITALL),
                  static_cast<ssize_t>(greeted.size()));
        ASSERT_EQ(greeted, greeting);
        ASSERT_EQ(exchangeThrough(clients.back().get(), payload, 100, 0us), payload);
        sizeByPort[localPort(clients.back().get())] = payload.size();
    }
    ASSERT_EQ(sizeByPort.size(), payloads.size());

    kill(relay.pid, SIGUSR1);
    EXPECT_EQ(readLine(relay.output.get()),
              "delay_relay: carried 7301 bytes from clients and 7316 bytes to them");
    std::map<uint16_t, std::string> lineByPort;
    for (size_t i = 0; i < payloads.size(); ++i) {
        const std::string each = readLine(relay.output.get());
        const std::string eachPrefix = "delay_relay: connection from port ";
        ASSERT_EQ(each.substr(0, eachPrefix.size()), eachPrefix) << each;
        lineByPort[static_cast<uint16_t>(std::stoi(each.substr(eachPrefix.size())))] = each;
    }
    for (const auto& [clientPort, size] : sizeByPort) {
        EXPECT_EQ(lineByPort[clientPort],
                  "delay_relay: connection from port " + std::to_string(clientPort) + " carried " +
                      std::to_string(size) + " bytes from the client and " +
                      std::to_string(size + greeting.size()) + " bytes to it");
    }
    kill(relay.pid, SIGTERM);
    EXPECT_EQ(exitStatusOf(relay.pid), 0);
}

TEST(DelayRelayProgram, RefusesBadArgumentsWithUsageAndStatusTwo) {
    Spawned relay = spawnRelay({"0", "127.0.0.1", "9001", "soon"}, {STDERR_FILENO});
    ASSERT_GT(relay.pid, 0);
    const std::string errors = readLine(relay.output.get(), true);
    EXPECT_EQ(exitStatusOf(relay.pid), 2);
    EXPECT_NE(errors.find("soon"), std::string::npos) << errors;
    EXPECT_NE(errors.find("usage: delay_relay LISTEN_PORT"), std::string::npos) << errors;
}
