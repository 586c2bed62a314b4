#include "relay_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace {
constexpr size_t kReadBufferSize = 64 * 1024;
// How long accepting rests when the process is out of descriptors or memory.
constexpr std::chrono::milliseconds kAcceptRest{100};
}  // namespace

RelayServer::RelayServer(const Settings& settings, Reporter report)
    : settings_(settings),
      report_(std::move(report)),
      jitter_(settings.jitter, settings.seed),
      readBuffer_(kReadBufferSize) {}

std::unique_ptr<RelayServer> RelayServer::start(const Settings& settings, std::string& error,
                                                Reporter report) {
    std::unique_ptr<RelayServer> server(new RelayServer(settings, std::move(report)));
    int wake[2];
    if (pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return nullptr;
    }
    server->wakeRead_ = UniqueFd(wake[0]);
    server->wakeWrite_ = UniqueFd(wake[1]);
    server->listener_ = listenOnLoopback(settings.listenPort, error);
    if (!server->listener_.valid()) return nullptr;
    server->port_ = boundPort(server->listener_.get());
    if (reachesLoopbackPort(settings.target, server->port_)) {
        error = "the target is the relay itself (127.0.0.1:" + std::to_string(server->port_) + ")";
        return nullptr;
    }
    return server;
}

void RelayServer::wake(char byte) const {
    const int savedErrno = errno;
    // A full pipe already holds a request.
    [[maybe_unused]] const ssize_t written = write(wakeWrite_.get(), &byte, 1);
    errno = savedErrno;
}

void RelayServer::requestStop() const { wake(0); }

void RelayServer::requestCarriedReport() const { wake(1); }

bool RelayServer::readWakes() {
    char bytes[64];
    bool stop = false, report = false;
    ssize_t n;
    while ((n = read(wakeRead_.get(), bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) (bytes[i] == 0 ? stop : report) = true;
    }
    if (report) {
        const Carried total = carried();
        say("carried " + std::to_string(total.fromClients) + " bytes from clients and " +
            std::to_string(total.fromTargets) + " bytes to them");
        for (const ConnectionCarried& connection : carriedByConnection()) {
            say("connection from port " + std::to_string(connection.clientPort) + " carried " +
                std::to_string(connection.carried.fromClients) + " bytes from the client and " +
                std::to_string(connection.carried.fromTargets) + " bytes to it");
        }
    }
    return stop;
}

void RelayServer::say(const std::string& line) const {
    if (report_) report_(line);
}

bool RelayServer::run() {
    std::vector<pollfd> entries;
    while (true) {
        const RelayClock::time_point now = RelayClock::now();
        const bool accepting = now >= acceptPausedUntil_;
        std::optional<RelayClock::time_point> wakeAt;
        if (!accepting) wakeAt = acceptPausedUntil_;

        entries.clear();
        entries.push_back({wakeRead_.get(), POLLIN, 0});
        entries.push_back({accepting ? listener_.get() : -1, POLLIN, 0});
        for (const auto& connection : connections_) {
            entries.push_back(connection->pollEntry(RelayConnection::Client));
            entries.push_back(connection->pollEntry(RelayConnection::Target));
            if (const auto release = connection->nextRelease()) {
                wakeAt = wakeAt ? std::min(*wakeAt, *release) : *release;
            }
        }

        timespec timeout{};
        if (wakeAt) {
            const auto left =
                std::max(std::chrono::duration_cast<std::chrono::nanoseconds>(*wakeAt - now),
                         std::chrono::nanoseconds(0));
            timeout.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
        }
        const int ready =
            ppoll(entries.data(), entries.size(), wakeAt ? &timeout : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            say(std::string("poll: ") + std::strerror(errno));
            return false;
        }
        if (ready > 0) {
            if (entries[0].revents != 0 && readWakes()) return true;
            for (size_t i = 0; i < connections_.size(); ++i) {
                connections_[i]->handle(RelayConnection::Client, entries[2 + 2 * i].revents,
                                        readBuffer_);
                connections_[i]->handle(RelayConnection::Target, entries[3 + 2 * i].revents,
                                        readBuffer_);
            }
            if (entries[1].revents != 0) acceptClients();
        }

        const RelayClock::time_point after = RelayClock::now();
        for (const auto& connection : connections_) connection->writeDue(after);
        connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                          [this](const std::unique_ptr<RelayConnection>& c) {
                                              if (!c->finished()) return false;
                                              if (!c->failure().empty()) say(c->failure());
                                              carriedByClosed_.fromClients +=
                                                  c->bytesFrom(RelayConnection::Client);
                                              carriedByClosed_.fromTargets +=
                                                  c->bytesFrom(RelayConnection::Target);
                                              return true;
                                          }),
                           connections_.end());
    }
}

RelayServer::Carried RelayServer::carried() const {
    Carried total = carriedByClosed_;
    for (const auto& connection : connections_) {
        total.fromClients += connection->bytesFrom(RelayConnection::Client);
        total.fromTargets += connection->bytesFrom(RelayConnection::Target);
    }
    return total;
}

std::vector<RelayServer::ConnectionCarried> RelayServer::carriedByConnection() const {
    std::vector<ConnectionCarried> each;
    for (const auto& connection : connections_) {
        ConnectionCarried entry;
        entry.clientPort = connection->clientPort();
        entry.carried.fromClients = connection->bytesFrom(RelayConnection::Client);
        entry.carried.fromTargets = connection->bytesFrom(RelayConnection::Target);
        each.push_back(entry);
    }
    return each;
}

void RelayServer::acceptClients() {
    while (true) {
        UniqueFd client(accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!client.valid()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                say(std::string("accept: ") + std::strerror(errno));
                acceptPausedUntil_ = RelayClock::now() + kAcceptRest;
            }
            return;
        }
        prepareAccepted(client.get());
        ConnectStart target = startConnect(settings_.target);
        if (!target.socket.valid()) {
            say(target.error);  // the client's socket closes here
            continue;
        }
        connections_.push_back(std::make_unique<RelayConnection>(
            std::move(client), std::move(target), settings_.delay, jitter_));
    }
}
