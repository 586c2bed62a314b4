// Which connections the server takes: the caps per address and in all, the release of closed
// connections, the reading of the kernel's tables and the caps a descriptor limit allows.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/connection_limits.h"
#include "net/descriptor_budget.h"
#include "net/open_connections.h"

namespace {

ConnectionKey from(const std::string& address, int port) { return {address, port, 9100}; }

TEST(ConnectionLimits, EachAddressHasItsShareAndAllTogetherTheTotal) {
    ConnectionLimits limits({2, 3});
    EXPECT_EQ(AdmitResult::kTaken, limits.admit(from("10.0.0.1", 1)));
    EXPECT_EQ(AdmitResult::kTaken, limits.admit(from("10.0.0.1", 2)));
    EXPECT_TRUE(limits.wouldRefuse(from("10.0.0.1", 3)));
    EXPECT_EQ(AdmitResult::kRefusedPerAddress, limits.admit(from("10.0.0.1", 3)));
    // Another address still gets in, up to the total.
    EXPECT_FALSE(limits.wouldRefuse(from("10.0.0.2", 1)));
    EXPECT_EQ(AdmitResult::kTaken, limits.admit(from("10.0.0.2", 1)));
    EXPECT_EQ(AdmitResult::kRefusedTotal, limits.admit(from("10.0.0.3", 1)));
    EXPECT_EQ(3, limits.open());
    EXPECT_EQ(2, limits.openFrom("10.0.0.1"));
    EXPECT_EQ(0, limits.openFrom("10.0.0.3"));
    EXPECT_EQ(1u, limits.refusedPerAddress());
    EXPECT_EQ(1u, limits.refusedTotal());
    EXPECT_EQ(2u, limits.refused());
}

TEST(ConnectionLimits, AReleasedConnectionMakesRoomForItsAddressOnly) {
    ConnectionLimits limits({1, 10});
    limits.admit(from("10.0.0.1", 1));
    limits.admit(from("10.0.0.2", 1));
    limits.release(from("10.0.0.1", 1));
    limits.release(from("10.0.0.1", 1));  // twice, or never taken: ignored
    limits.release(from("10.0.0.9", 7));
    EXPECT_EQ(AdmitResult::kTaken, limits.admit(from("10.0.0.1", 2)));
    EXPECT_EQ(AdmitResult::kRefusedPerAddress, limits.admit(from("10.0.0.2", 2)));
    EXPECT_EQ(2, limits.open());
}

TEST(ConnectionLimits, KeepOnlyReleasesWhatIsNoLongerOpen) {
    ConnectionLimits limits({3, 3});
    limits.admit(from("10.0.0.1", 1));
    limits.admit(from("10.0.0.1", 2));
    limits.admit(from("10.0.0.2", 1));
    // A connection open in the table but never taken (accepted before the guard) is not added.
    limits.keepOnly({from("10.0.0.1", 2), from("10.0.0.5", 5)});
    EXPECT_EQ(1, limits.open());
    EXPECT_EQ(1, limits.openFrom("10.0.0.1"));
    EXPECT_EQ(0, limits.openFrom("10.0.0.2"));
    EXPECT_EQ(0, limits.openFrom("10.0.0.5"));
}

TEST(ConnectionLimits, TheSameConnectionTakenTwiceCountsOnce) {
    ConnectionLimits limits({2, 2});
    limits.admit(from("10.0.0.1", 1));
    limits.admit(from("10.0.0.1", 2));
    // A port reused before its release was seen: taken, still two connections.
    EXPECT_FALSE(limits.wouldRefuse(from("10.0.0.1", 2)));
    EXPECT_EQ(AdmitResult::kTaken, limits.admit(from("10.0.0.1", 2)));
    EXPECT_EQ(2, limits.open());
    EXPECT_EQ(0u, limits.refused());
}

TEST(ConnectionLimits, ConnectionsDifferByLocalPortToo) {
    ConnectionLimits limits({2, 2});
    limits.admit({"10.0.0.1", 5000, 9001});
    limits.admit({"10.0.0.1", 5000, 9100});
    EXPECT_EQ(2, limits.open());
    limits.release({"10.0.0.1", 5000, 9001});
    EXPECT_EQ(1, limits.openFrom("10.0.0.1"));
}

TEST(OpenConnections, EndpointTextsOfTheOrbBecomeKeys) {
    auto key = connectionFromEndpoints("giop:tcp:127.0.0.1:9100", "giop:tcp:127.0.0.1:40000");
    ASSERT_TRUE(key);
    EXPECT_EQ("127.0.0.1", key->peerAddress);
    EXPECT_EQ(40000, key->peerPort);
    EXPECT_EQ(9100, key->localPort);
    // An IPv4 peer on an IPv6 socket is the same address as on an IPv4 one.
    key =
        connectionFromEndpoints("giop:tcp:[::ffff:10.1.2.3]:9100", "giop:tcp:[::ffff:10.1.2.4]:5");
    ASSERT_TRUE(key);
    EXPECT_EQ("10.1.2.4", key->peerAddress);
    key = connectionFromEndpoints("giop:tcp:[::1]:9100", "giop:tcp:[0:0::1]:6");
    ASSERT_TRUE(key);
    EXPECT_EQ("::1", key->peerAddress);
    for (const char* peer : {"giop:unix:/tmp/x", "giop:tcp:127.0.0.1:", "giop:tcp:127.0.0.1:70000",
                             "giop:tcp:host.example:5", "giop:tcp:127.0.0.1:5x", ""}) {
        EXPECT_FALSE(connectionFromEndpoints("giop:tcp:127.0.0.1:9100", peer)) << peer;
    }
}

// The kernel's tables: addresses are the machine's words in hex, ports and states in hex.
TEST(OpenConnections, TheTablesGiveTheServersEndsStillOpen) {
    const std::string v4 =
        "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid\n"
        // Listening on 127.0.0.1:9100 (0x238C): not a connection.
        "   0: 0100007F:238C 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0\n"
        // Established from 127.0.0.1:40000 (0x9C40), and one closed by its peer only.
        "   1: 0100007F:238C 0100007F:9C40 01 00000000:00000000 00:00000000 00000000     0\n"
        "   2: 0100007F:238C 0100007F:9C41 08 00000000:00000000 00:00000000 00000000     0\n"
        // Closed by the server (FIN_WAIT2, TIME_WAIT): released.
        "   3: 0100007F:238C 0100007F:9C42 05 00000000:00000000 00:00000000 00000000     0\n"
        "   4: 0100007F:238C 0100007F:9C43 06 00000000:00000000 00:00000000 00000000     0\n"
        // The client's end of the first connection, and another port of the machine.
        "   5: 0100007F:9C40 0100007F:238C 01 00000000:00000000 00:00000000 00000000     0\n"
        "   6: 0100007F:0050 0100007F:9C44 01 00000000:00000000 00:00000000 00000000     0\n"
        "   7: garbage\n";
    // ::ffff:10.1.2.4 port 5 on :: port 9100, and ::1 port 6 on ::1 port 9100.
    const std::string v6 =
        "  sl  local_address                         remote_address                        st\n"
        "   0: 00000000000000000000000000000000:238C 00000000000000000000000000000000:0000 0A\n"
        "   1: 00000000000000000000000000000000:238C 0000000000000000FFFF00000402010A:0005 01\n"
        "   2: 00000000000000000000000001000000:238C 00000000000000000000000001000000:0006 01\n";
    std::set<ConnectionKey> open;
    addOpenConnections(v4, false, {9100}, open);
    addOpenConnections(v6, true, {9100}, open);
    const std::set<ConnectionKey> expected = {{"127.0.0.1", 40000, 9100},
                                              {"127.0.0.1", 40001, 9100},
                                              {"10.1.2.4", 5, 9100},
                                              {"::1", 6, 9100}};
    EXPECT_EQ(expected, open);
}

// A real connection on loopback is in this machine's tables while open, and gone once closed.
TEST(OpenConnections, ARealConnectionComesAndGoes) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), size));
    ASSERT_EQ(0, listen(listener, 4));
    ASSERT_EQ(0, getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size));
    const int port = ntohs(address.sin_port);
    int client = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(0, connect(client, reinterpret_cast<sockaddr*>(&address), size));
    int accepted = accept(listener, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    sockaddr_in clientAddress{};
    socklen_t clientSize = sizeof clientAddress;
    getsockname(client, reinterpret_cast<sockaddr*>(&clientAddress), &clientSize);
    const ConnectionKey key{"127.0.0.1", ntohs(clientAddress.sin_port), port};

    auto open = openConnectionsOn({port});
    ASSERT_TRUE(open);
    EXPECT_EQ(std::set<ConnectionKey>{key}, *open);
    close(accepted);
    open = openConnectionsOn({port});
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->empty());
    close(client);
    close(listener);
}

TEST(DescriptorBudget, ConnectionsGetWhatTheReserveLeaves) {
    struct Case {
        int limit, openNow, perAddress, total;
    };
    const Case cases[] = {
        {1024, 30, kConnectionsPerAddress, kMostConnections},
        {1024, 700, kConnectionsPerAddress, 1024 - 700 - kStageFileReserve},
        {256, 30, 256 - 30 - kStageFileReserve, 256 - 30 - kStageFileReserve},
        {64, 30, 0, 0},
        {1 << 30, 30, kConnectionsPerAddress, kMostConnections},
    };
    for (const Case& c : cases) {
        const ConnectionCaps caps = capsForDescriptors(c.limit, c.openNow);
        EXPECT_EQ(c.perAddress, caps.perAddress) << c.limit << " " << c.openNow;
        EXPECT_EQ(c.total, caps.total) << c.limit << " " << c.openNow;
    }
}

TEST(DescriptorBudget, TheSoftLimitIsRaisedToTheHardOne) {
    const int before = openDescriptors();
    EXPECT_GT(before, 2);  // at least the three standard streams, less any closed
    const int limit = raiseDescriptorLimit();
    rlimit now{};
    ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &now));
    EXPECT_EQ(now.rlim_cur, now.rlim_max);
    EXPECT_GE(limit, 64);
}

}  // namespace
