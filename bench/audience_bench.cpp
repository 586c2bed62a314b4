// Six players and N spectators of a real server, every call through the ORB: the program itself
// runs "corrida servidor 6" in a child process, without a display, its names in an omniNames on
// 127.0.0.1:9001, and this process joins six players (Login.join) and N spectators
// (Login.assistir). Each viewer fetches as the client does, with no window: planFetch, then
// fetchFrames on its calls in flight (the compressed fetch), OrderedParts, and one Inflater on a
// replaying thread that counts the pictures. The players flip now and then, so the race is a race.
//
// Counters, over the measured seconds once every viewer receives pictures:
//   server_cpu_%            the server process's CPU (the game, the recording, every fetch and the
//                           ORB), in % of one core
//   server_fps              the pictures the server drew a second (the race draws 29)
//   slowest_spectator_fps   the pictures a second the slowest spectator inflated
//   median_spectator_fps    and the median one
//   slowest_player_fps      the slowest of the six players
//   this_process_cpu_%      the viewers' own CPU, for the machine's share left to the server
// This process is one address, which may hold half the spectators the server lets watch (at least
// 32): past 32 the server is started with "--espectadores 2N".
//   corrida_bench --benchmark_filter=AudienceOfARealServer
//
// It takes port 9001 under the lock the end-to-end tests take for it, until it ends.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_orb.h"
#include "corrida.hh"
#include "net/frame_fetch.h"
#include "net/orb_setup.h"
#include "net/ordered_parts.h"
#include "picture_count.h"
#include "platform/clock.h"
#include "stream/deflate_stream.h"
#include "stream/frame_marker.h"
#include "stream/instruction_text.h"

namespace {

constexpr int kPlayers = 6;
constexpr int64_t kMeasuredMs = 10000;
constexpr int64_t kStartWithinMs = 30000;

int64_t ticksToMicros(long long ticks) { return ticks * 1000000 / sysconf(_SC_CLK_TCK); }

// A child process that ends on destruction (SIGTERM, then SIGKILL) and with this process too; its
// output goes nowhere.
class ChildProgram {
  public:
    explicit ChildProgram(std::vector<std::string> words) {
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            setenv("ORBendPoint", "giop:tcp:127.0.0.1:", 1);
            unsetenv("DISPLAY");
            const int quiet = open("/dev/null", O_RDWR);
            dup2(quiet, 0);
            dup2(quiet, 1);
            dup2(quiet, 2);
            std::vector<char*> argv;
            for (std::string& word : words) argv.push_back(word.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
    }
    ~ChildProgram() {
        kill(pid, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1;
                break;
            }
            sleepMs(100);
        }
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Its CPU so far, user and system, all threads.
    int64_t cpuMicros() const {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t end = text.rfind(')');  // the program's name may hold spaces
        if (end == std::string::npos) return 0;
        std::istringstream fields(text.substr(end + 2));
        std::string field;
        long long user = 0, system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) user = std::stoll(field);
            if (i == 15) system = std::stoll(field);
        }
        return ticksToMicros(user + system);
    }

  private:
    pid_t pid = -1;
};

// omniNames on 127.0.0.1:9001, for as long as this process runs, under the lock the end-to-end
// tests take for that port. Each server binds its objects there at a port of its own, so calls
// never meet a connection an earlier server left behind.
class NamingService {
  public:
    NamingService() {
        // The ORB first: the servers it comes with are forked then, and must not share the lock.
        benchOrb();
        lock = open("/tmp/corrida-net-tests.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock >= 0) flock(lock, LOCK_EX);
        char folder[] = "/tmp/corrida-bench-names.XXXXXX";
        if (mkdtemp(folder)) data = folder;
        names = std::make_unique<ChildProgram>(
            std::vector<std::string>{"omniNames", "-start", "9001", "-always", "-datadir", data,
                                     "-ORBendPoint", "giop:tcp:127.0.0.1:9001"});
    }
    ~NamingService() {
        names.reset();
        std::error_code ignored;
        std::filesystem::remove_all(data, ignored);
        if (lock >= 0) close(lock);
    }
    NamingService(const NamingService&) = delete;
    NamingService& operator=(const NamingService&) = delete;

  private:
    int lock = -1;
    std::string data;
    std::unique_ptr<ChildProgram> names;
};

int64_t ownCpuMicros() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

struct ServerObjects {
    FifoServer_var fifo;
    Login_var login;
    Controle_var controle;
};

// The server's objects once they answer (the names may still hold an earlier server's for a
// moment); false after kStartWithinMs.
bool findServer(ServerObjects& server) {
    const int64_t start = clockMs();
    while (clockMs() - start < kStartWithinMs) {
        try {
            CosNaming::NamingContext_var names = rootNamingContext(benchOrb());
            CORBA::Object_var fifo = names->resolve(oneComponentName("fifo"));
            CORBA::Object_var login = names->resolve(oneComponentName("login"));
            CORBA::Object_var controle = names->resolve(oneComponentName("controle"));
            server.fifo = FifoServer::_narrow(fifo);
            server.login = Login::_narrow(login);
            server.controle = Controle::_narrow(controle);
            if (!server.login->_non_existent() && !server.fifo->_non_existent()) return true;
        } catch (const CORBA::Exception&) {
            // Not up yet.
        }
        sleepMs(100);
    }
    return false;
}

// The highest picture number any viewer has inflated: the server's own count of its pictures.
std::atomic<uint64_t> lastPictureSeen{0};

void notePictures(const std::string& body) {
    uint64_t last = 0;
    forEachPiece(body, [&](std::string_view piece, bool) {
        if (const std::optional<FrameMarker> marker = readFrameMarker(piece)) last = marker->frame;
        return true;
    });
    uint64_t seen = lastPictureSeen;
    while (last > seen && !lastPictureSeen.compare_exchange_weak(seen, last)) {
    }
}

// One viewer: its fetching threads and the thread that inflates and counts what they bring.
class Viewer {
  public:
    Viewer(FifoServer_ptr fifo, Fetcher fetcher) : fetcher(std::move(fetcher)) {
        const FetchPlan plan = planFetch(fifo, this->fetcher, true);
        if (plan.compression == Compression::None) {
            fail("the server has no compressed fetch");
            return;
        }
        const ReportFailure report = [this](const std::string& message) { fail(message); };
        fileDeflatedOrReport(plan.firstPart, plan.firstAnswer, parts, report);
        link = FetchLink{fifo, this->fetcher, "127.0.0.1", nullptr};
        threads.emplace_back([this, compression = plan.compression] { replay(compression); });
        for (int i = 0; i < plan.callsInFlight; ++i) {
            threads.emplace_back([this, report, compression = plan.compression] {
                fetchFrames(
                    link, parts, [this] { return keepGoing(); }, report, compression);
            });
        }
    }
    ~Viewer() {
        stopped = true;
        parts.wake();
        for (std::thread& thread : threads) thread.join();
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    uint64_t pictures() const { return counted; }
    bool failed() const { return broken; }
    const Fetcher& who() const { return fetcher; }

  private:
    bool keepGoing() const { return !stopped && !broken; }
    void fail(const std::string&) { broken = true; }

    void replay(Compression compression) {
        CompressedStreamReader stream(compression);
        while (std::optional<OrderedParts::Answer> answer =
                   parts.take([this] { return keepGoing(); })) {
            const std::optional<std::string> text = stream.read(answer->body, answer->opensStream);
            const std::optional<PartHeader> header =
                text ? readPartHeader(*text) : std::optional<PartHeader>();
            if (!header) {
                fail(kInvalidAnswerMessage);
                return;
            }
            const std::string body = text->substr(header->bodyStart);
            counted += picturesIn(body);
            notePictures(body);
        }
    }

    const Fetcher fetcher;
    FetchLink link;
    OrderedParts parts;
    std::atomic<bool> stopped{false};
    std::atomic<bool> broken{false};
    std::atomic<uint64_t> counted{0};
    std::vector<std::thread> threads;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void AudienceOfARealServer(benchmark::State& state) {
    const int spectators = static_cast<int>(state.range(0));
    for (auto _ : state) {
        static NamingService names;
        ChildProgram program({CORRIDA_PROGRAM, "servidor", "6", "--espectadores",
                              std::to_string(std::max(64, 2 * spectators))});
        ServerObjects server;
        if (!findServer(server)) {
            state.SkipWithError("the server's names did not answer");
            return;
        }
        lastPictureSeen = 0;  // each server numbers its pictures from 1
        std::vector<std::unique_ptr<Viewer>> players;
        std::vector<std::unique_ptr<Viewer>> audience;
        try {
            for (int i = 0; i < kPlayers; ++i) {
                CORBA::String_var secret;
                const CORBA::Short player = server.login->join(secret.out());
                if (player < 1) {
                    state.SkipWithError("a player was refused");
                    return;
                }
                players.push_back(std::make_unique<Viewer>(
                    server.fifo.in(), Fetcher{static_cast<CORBA::UShort>(player), secret.in()}));
            }
            for (int i = 0; i < spectators; ++i) {
                const CORBA::Short number = server.login->assistir();
                if (number < 0) {
                    state.SkipWithError("a spectator was refused");
                    return;
                }
                audience.push_back(std::make_unique<Viewer>(
                    server.fifo.in(), Fetcher{static_cast<CORBA::UShort>(number), ""}));
            }
        } catch (const CORBA::Exception& failure) {
            state.SkipWithError(failure._name());
            return;
        }
        std::atomic<bool> flipping{true};
        std::thread keys([&] {
            std::minstd_rand pick(7);
            while (flipping) {
                const Fetcher& player = players[pick() % players.size()]->who();
                try {
                    server.controle->flip(player.secret.c_str());
                } catch (const CORBA::Exception&) {
                }
                sleepMs(150);
            }
        });
        const auto everyoneReceives = [&] {
            for (const auto* group : {&players, &audience}) {
                for (const auto& viewer : *group) {
                    if (viewer->failed() || viewer->pictures() < 30) return false;
                }
            }
            return true;
        };
        const int64_t waitStart = clockMs();
        while (!everyoneReceives() && clockMs() - waitStart < kStartWithinMs) sleepMs(100);
        const auto counts = [](const std::vector<std::unique_ptr<Viewer>>& group) {
            std::vector<uint64_t> pictures;
            for (const auto& viewer : group) pictures.push_back(viewer->pictures());
            return pictures;
        };
        const std::vector<uint64_t> playersBefore = counts(players);
        const std::vector<uint64_t> audienceBefore = counts(audience);
        const uint64_t drawnBefore = lastPictureSeen;
        const int64_t serverBefore = program.cpuMicros();
        const int64_t ownBefore = ownCpuMicros();
        const int64_t start = clockMs();
        sleepMs(kMeasuredMs);
        const double seconds = static_cast<double>(clockMs() - start) / 1000.0;
        const int64_t serverUsed = program.cpuMicros() - serverBefore;
        const int64_t ownUsed = ownCpuMicros() - ownBefore;
        const uint64_t drawn = lastPictureSeen - drawnBefore;
        const auto rates = [seconds](const std::vector<uint64_t>& before,
                                     const std::vector<uint64_t>& after) {
            std::vector<double> perSecond;
            for (size_t i = 0; i < before.size(); ++i) {
                perSecond.push_back(static_cast<double>(after[i] - before[i]) / seconds);
            }
            std::sort(perSecond.begin(), perSecond.end());
            return perSecond;
        };
        const std::vector<double> audienceRates = rates(audienceBefore, counts(audience));
        const std::vector<double> playerRates = rates(playersBefore, counts(players));
        flipping = false;
        keys.join();
        int failed = 0;
        for (const auto* group : {&players, &audience}) {
            for (const auto& viewer : *group) failed += viewer->failed() ? 1 : 0;
        }
        audience.clear();
        players.clear();

        state.counters["server_cpu_%"] = 100.0 * static_cast<double>(serverUsed) / 1e6 / seconds;
        state.counters["server_fps"] = static_cast<double>(drawn) / seconds;
        state.counters["slowest_spectator_fps"] = audienceRates.empty() ? 0 : audienceRates.front();
        state.counters["median_spectator_fps"] = median(audienceRates);
        state.counters["slowest_player_fps"] = playerRates.front();
        state.counters["this_process_cpu_%"] = 100.0 * static_cast<double>(ownUsed) / 1e6 / seconds;
        state.counters["failed_viewers"] = failed;
    }
}
BENCHMARK(AudienceOfARealServer)
    ->Arg(6)
    ->Arg(30)
    ->Arg(100)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
