#include "net/naming_service_child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "net/host_checks.h"
#include "platform/clock.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNotFoundStatus = 127;
constexpr int kStopGraceMs = 3000;
constexpr const char* kOutputFile = "omniNames.out";

std::string temporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/corrida-nomes.XXXXXX";
    if (!mkdtemp(pattern.data())) return "";
    return pattern;
}

// The environment of the child: ours without the endpoint meant for the game's own ORB (the child
// gets its endpoint on its command line).
std::vector<std::string> childEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, "ORBendPoint=", 12) != 0) entries.emplace_back(*entry);
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The last non-empty line omniNames wrote, to explain a failure.
std::string lastLineOf(const std::string& file) {
    std::ifstream in(file);
    std::string line, last;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
    }
    return last;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeNamingService(pid_t parent, const std::string& outputFile, char** argv,
                                      char** envp) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);  // the server holds Ctrl+C back; the child must not
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    const int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int input = open("/dev/null", O_RDONLY);
    if (output >= 0) {
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
    }
    if (input >= 0) dup2(input, STDIN_FILENO);
    execvpe(argv[0], argv, envp);
    _exit(kNotFoundStatus);
}

}  // namespace

std::unique_ptr<NamingServiceChild> NamingServiceChild::start(const Options& options,
                                                              std::string& problem) {
    const std::string folder = temporaryFolder();
    if (folder.empty()) {
        problem = std::string("nao foi possivel criar a pasta temporaria: ") + std::strerror(errno);
        return nullptr;
    }
    const std::string port = std::to_string(options.port);
    std::vector<std::string> arguments = {options.program, "-start",   port,
                                          "-always",       "-datadir", folder};
    if (!options.listenHost.empty()) {
        arguments.push_back("-ORBendPoint");
        arguments.push_back("giop:tcp:" + options.listenHost + ":" + port);
    }
    std::vector<std::string> environment = childEnvironment();
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);
    const std::string outputFile = folder + "/" + kOutputFile;

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        problem = std::string("fork falhou: ") + std::strerror(errno);
        fs::remove_all(folder);
        return nullptr;
    }
    if (pid == 0) becomeNamingService(parent, outputFile, argv.data(), envp.data());

    // From here the child is owned: any early return stops it and removes its folder.
    std::unique_ptr<NamingServiceChild> child(new NamingServiceChild(pid, folder));
    const std::string probeHost = options.listenHost.empty() ? "127.0.0.1" : options.listenHost;
    const int64_t deadline = clockMs() + options.startTimeoutMs;
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            child->pid_ = 0;
            if (WIFEXITED(status) && WEXITSTATUS(status) == kNotFoundStatus) {
                problem = options.program + " nao encontrado (instale o pacote omniorb-nameserver)";
            } else {
                const std::string said = lastLineOf(outputFile);
                problem = options.program + " terminou logo ao iniciar" +
                          (said.empty() ? std::string() : ": " + said);
            }
            return nullptr;
        }
        if (answersOnPort(probeHost, options.port, 200)) return child;
        if (clockMs() >= deadline) {
            problem = options.program + " nao respondeu na porta " + port + " em " +
                      std::to_string(options.startTimeoutMs / 1000) + " s";
            return nullptr;
        }
        sleepMs(50);
    }
}

NamingServiceChild::~NamingServiceChild() { stop(); }

void NamingServiceChild::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        const int64_t deadline = clockMs() + kStopGraceMs;
        while (waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (clockMs() >= deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            sleepMs(10);
        }
        pid_ = 0;
    }
    std::error_code ignored;
    fs::remove_all(dataFolder_, ignored);
}
