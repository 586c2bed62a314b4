// The delay relay, run in a thread between real loopback sockets: bytes arrive whole and in order
// under jitter, round trips take at least twice the delay, and each end of a connection reaches
// the other side.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "loopback_peers.h"
#include "relay_server.h"

using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

class RelayInThread {
  public:
    RelayInThread(uint16_t targetPort, milliseconds delay, milliseconds jitter = 0ms) {
        RelayServer::Settings settings;
        std::string error;
        settings.target = *resolveTarget("127.0.0.1", targetPort, error);
        settings.delay = delay;
        settings.jitter = jitter;
        settings.seed = 7;
        server_ = RelayServer::start(settings, error);
        if (!server_) throw std::runtime_error(error);
        thread_ = std::thread([this] { server_->run(); });
    }
    ~RelayInThread() {
        server_->requestStop();
        thread_.join();
    }
    uint16_t port() const { return server_->port(); }

  private:
    std::unique_ptr<RelayServer> server_;
    std::thread thread_;
};

// Bytes that show where they belong: a shifted sequence per connection, so a lost, doubled or
// swapped chunk changes the text.
std::string numberedBytes(size_t size, int connection) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + connection) % 251);
    return bytes;
}

}  // namespace

TEST(DelayRelay, ConcurrentConnectionsCarryManyJitteredChunksWholeAndInOrder) {
    LoopbackServer echo(LoopbackServer::Mode::Echo);
    // Jitter as large as the delay: a chunk read later often draws a shorter hold than the one
    // before it, and must still wait for it.
    RelayInThread relay(echo.port(), 4ms, 4ms);

    struct Load {
        size_t bytes, piece;
    };
    // Seven connections of many small chunks, and one large enough to fill the socket buffers.
    std::vector<Load> loads(7, Load{60'000, 200});
    loads.push_back({4'000'000, 64 * 1024});
    std::vector<std::string> payloads;
    for (size_t c = 0; c < loads.size(); ++c) {
        payloads.push_back(numberedBytes(loads[c].bytes, static_cast<int>(c)));
    }
    std::vector<std::future<std::string>> echoes;
    for (size_t c = 0; c < loads.size(); ++c) {
        echoes.push_back(std::async(std::launch::async, [&, c] {
            const UniqueFd client = connectToLoopback(relay.port());
            return exchangeThrough(client.get(), payloads[c], loads[c].piece, 300us);
        }));
    }
    for (size_t c = 0; c < loads.size(); ++c) {
        const std::string echoed = echoes[c].get();
        ASSERT_EQ(echoed.size(), payloads[c].size()) << "connection " << c;
        EXPECT_TRUE(echoed == payloads[c]) << "connection " << c << " changed the bytes";
    }
}

TEST(DelayRelay, SixtyFourConnectionsHeldOpenTogetherEachCarryTheirOwnBytes) {
    LoopbackServer echo(LoopbackServer::Mode::Echo);
    RelayInThread relay(echo.port(), 10ms);
    std::vector<UniqueFd> clients;
    for (int c = 0; c < 64; ++c) {
        clients.push_back(connectToLoopback(relay.port()));
        ASSERT_TRUE(clients.back().valid()) << "connection " << c;
    }
    for (int c = 0; c < 64; ++c) {
        const std::string message = "connection " + std::to_string(c);
        ASSERT_EQ(send(clients[c].get(), message.data(), message.size(), 0),
                  static_cast<ssize_t>(message.size()));
    }
    for (int c = 0; c < 64; ++c) {
        const std::string message = "connection " + std::to_string(c);
        std::string echoed(message.size(), '\0');
        recv(clients[c].get(), echoed.data(), echoed.size(), MSG_WAITALL);
        EXPECT_EQ(echoed, message);
    }
}

TEST(DelayRelay, RoundTripTakesAtLeastTwiceTheDelay) {
    LoopbackServer echo(LoopbackServer::Mode::Echo);
    RelayInThread relay(echo.port(), 30ms);
    const UniqueFd client = connectToLoopback(relay.port());
    for (int trip = 0; trip < 3; ++trip) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(exchangeThrough(client.get(), "ping", 4, 0us), "ping");
        EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms) << "trip " << trip;
    }
}

TEST(DelayRelay, AnEndOnEitherSideReachesTheOtherAndLeavesNoSocketOpen) {
    LoopbackServer echo(LoopbackServer::Mode::Echo);
    LoopbackServer greeter(LoopbackServer::Mode::GreetAndClose, "until next time");
    RelayInThread toEcho(echo.port(), 20ms);
    RelayInThread toGreeter(greeter.port(), 20ms);
    const PortWithoutListener nobody;
    ASSERT_NE(nobody.port(), 0);
    RelayInThread toNobody(nobody.port(), 20ms);
    const int idleDescriptors = openDescriptorCount();

    {
        SCOPED_TRACE("the client closes: the target's socket closes too");
        std::vector<UniqueFd> clients;
        for (int c = 0; c < 3; ++c) {
            clients.push_back(connectToLoopback(toEcho.port()));
            ASSERT_EQ(exchangeThrough(clients.back().get(), "hello", 5, 0us), "hello");
        }
        clients.clear();
        EXPECT_TRUE(echo.waitForPeerCloses(3, 5000ms));
    }
    {
        SCOPED_TRACE("the target closes: the client first gets what was held, then the end");
        const UniqueFd client = connectToLoopback(toGreeter.port());
        const std::string greeting = "until next time";
        std::string got(greeting.size(), '\0');
        EXPECT_EQ(recv(client.get(), got.data(), got.size(), MSG_WAITALL),
                  static_cast<ssize_t>(got.size()));
        EXPECT_EQ(got, greeting);
        EXPECT_TRUE(peerEnds(client.get()));
    }
    {
        SCOPED_TRACE("the target refuses: the accepted connection closes");
        const UniqueFd client = connectToLoopback(toNobody.port());
        ASSERT_TRUE(client.valid());
        EXPECT_TRUE(peerEnds(client.get()));
    }
    EXPECT_TRUE(eventually([&] { return openDescriptorCount() == idleDescriptors; }, 5000ms))
        << openDescriptorCount() << " descriptors open, " << idleDescriptors << " when idle";
}

TEST(DelayRelay, ATargetThatIsItsOwnListenerIsRecognised) {
    std::string error;
    const auto target = [&](const char* host, uint16_t port) {
        return *resolveTarget(host, port, error);
    };
    EXPECT_TRUE(reachesLoopbackPort(target("127.0.0.1", 4321), 4321));
    EXPECT_TRUE(reachesLoopbackPort(target("0.0.0.0", 4321), 4321));
    EXPECT_FALSE(reachesLoopbackPort(target("127.0.0.1", 4322), 4321));
    // The relay listens on 127.0.0.1 alone: other loopback addresses and IPv6 do not reach it.
    EXPECT_FALSE(reachesLoopbackPort(target("127.0.0.2", 4321), 4321));
    EXPECT_FALSE(reachesLoopbackPort(target("::1", 4321), 4321));
}
