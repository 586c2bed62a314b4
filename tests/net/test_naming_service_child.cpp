// The naming service run as a child: it answers while its owner lives, and leaves nothing behind.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "net/host_checks.h"
#include "net/naming_service_child.h"

namespace fs = std::filesystem;

namespace {

// A loopback port that nobody listens on right now (not 9001, which the end-to-end tests share).
int freeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

bool processExists(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

// Points TMPDIR at an empty folder of the test, so that what the child leaves there can be seen.
struct PrivateTmpdir {
    fs::path folder =
        fs::temp_directory_path() / ("corrida-child-test-" + std::to_string(getpid()));
    std::string saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    PrivateTmpdir() {
        fs::create_directories(folder);
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~PrivateTmpdir() {
        if (saved.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", saved.c_str(), 1);
        fs::remove_all(folder);
    }
    bool empty() const { return fs::is_empty(folder); }
};

TEST(NamingServiceChild, AnswersWhileOwnedAndIsGoneWithItsFolderAfter) {
    PrivateTmpdir tmp;
    NamingServiceChild::Options options;
    options.port = freeLoopbackPort();
    options.listenHost = "127.0.0.1";
    std::string problem;
    std::unique_ptr<NamingServiceChild> child = NamingServiceChild::start(options, problem);
    ASSERT_TRUE(child) << problem;
    const pid_t pid = child->pid();
    const std::string folder = child->dataFolder();
    EXPECT_TRUE(processExists(pid));
    EXPECT_EQ(fs::path(folder).parent_path(), tmp.folder);
    EXPECT_TRUE(answersOnPort("127.0.0.1", options.port, 1000));
    // Its own process group: a Ctrl+C typed at the server's console does not reach it.
    EXPECT_EQ(getpgid(pid), pid);

    child.reset();
    EXPECT_FALSE(processExists(pid));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(answersOnPort("127.0.0.1", options.port, 1000));
    EXPECT_TRUE(tmp.empty());
}

TEST(NamingServiceChild, AFailedStartSaysWhyAndLeavesNothing) {
    PrivateTmpdir tmp;
    NamingServiceChild::Options options;
    options.port = freeLoopbackPort();
    options.listenHost = "127.0.0.1";
    std::string problem;

    options.program = "omniNames-que-nao-existe";
    EXPECT_FALSE(NamingServiceChild::start(options, problem));
    EXPECT_NE(problem.find("nao encontrado"), std::string::npos) << problem;
    EXPECT_TRUE(tmp.empty());

    // A program that ends at once (as omniNames does on a port already taken).
    options.program = "false";
    EXPECT_FALSE(NamingServiceChild::start(options, problem));
    EXPECT_NE(problem.find("terminou logo ao iniciar"), std::string::npos) << problem;
    EXPECT_TRUE(tmp.empty());
}

}  // namespace
