// Network play on the loopback interface: getInstructions round trips per second, and the time
// from a server's flush to the batch being replayed on a client. The servers run in child
// processes (real GIOP over TCP, not the ORB's in-process shortcut); medians are reported in the
// counters.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_orb.h"
#include "corrida.hh"
#include "net/caller_address.h"
#include "net/fifo_server_impl.h"
#include "net/orb_setup.h"
#include "net/server_context.h"
#include "platform/clock.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/interpreter.h"

namespace {

constexpr int kPrefilledBatches = 90000;
constexpr int kFramesPerSecond = 29;  // one frame per 34 ms, as the server's race

int64_t monotonicMicros() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// The instructions of one race frame with two runners.
std::vector<std::string> frameInstructions(int frame) {
    const int x = (frame * 4) % 1000;
    return {formatBlit("mapaVisual", "bufferVisual", x, 0, x, 0, 640, 480),
            formatBlit("bitmapBase3", "bitmap3", 42 * (frame % 5), 0, 0, 0, 42, 47),
            formatDrawSprite("bufferVisual", "bitmap3", x + 200, 380),
            formatBlit("bitmapBase4", "bitmap4", 42 * (frame % 5), 0, 0, 0, 42, 47),
            formatDrawSpriteVFlip("bufferVisual", "bitmap4", x + 260, 90),
            formatBlit("bufferVisual", "screen", x, 0, 0, 0, 640, 480)};
}

void createFrameBitmaps(GravadorTela& recorder) {
    recorder.addInstruction(formatCreateBitmap("mapaVisual", 1640, 480));
    recorder.addInstruction(formatCreateBitmap("bufferVisual", 1640, 480));
    for (const char* name : {"bitmapBase3", "bitmapBase4"}) {
        recorder.addInstruction(formatCreateBitmap(name, 210, 96));
    }
    for (const char* name : {"bitmap3", "bitmap4"})
        recorder.addInstruction(formatCreateBitmap(name, 42, 47));
    recorder.flush();
}

// A server process: the real FifoServer servant over a recorder, its reference written to `out`.
// `recording`: record a frame every 34 ms, its last batch stamped with the flush time; otherwise
// player 1's queue is filled with ready batches and player 2's left empty.
[[noreturn]] void serve(int out, bool recording) {
    setenv("ORBendPoint", "giop:tcp:127.0.0.1:", 1);
    ServerContext context(2);
    GravadorTela& recorder = context.recorder;
    // Both players are the benchmark's client, on this machine, playing from the start.
    for (int player = 1; player <= 2; ++player) {
        context.slots.joinByAddress("127.0.0.1", clockMs());
        context.slots.noteFetch(player, clockMs());
    }
    CORBA::ORB_var orb = startOrb("bench", "127.0.0.1");
    const CallerAddressWatch callerAddresses;
    CORBA::Object_var object = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
    FifoServer_impl servant(context, currentCallerHost);
    PortableServer::ObjectId_var id = poa->activate_object(&servant);
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    if (!recording) {
        for (int i = 0; i < kPrefilledBatches; ++i) {
            for (const std::string& instruction : frameInstructions(i)) {
                recorder.addInstruction(instruction);
            }
            recorder.addInstruction(formatDestroyBitmap("nada"));  // essential: never dropped
            recorder.flush();
        }
        ViewerQueues& queues = context.viewers.queues();
        while (queues.queuedBatches(2) > 0) queues.takeBatch(2);
    }
    CORBA::Object_var reference = poa->id_to_reference(id);
    CORBA::String_var text = orb->object_to_string(reference);
    const std::string line = std::string(text.in()) + "\n";
    if (write(out, line.data(), line.size()) < 0) _exit(1);
    close(out);
    if (!recording) orb->run();
    createFrameBitmaps(recorder);
    for (int frame = 0;; ++frame) {
        for (const std::string& instruction : frameInstructions(frame)) {
            recorder.addInstruction(instruction);
        }
        // An unknown name: the replay ignores it; the text carries the flush time.
        recorder.addInstruction(formatDestroyBitmap("t" + std::to_string(monotonicMicros())));
        recorder.flush();
        usleep(1000000 / kFramesPerSecond);
    }
}

struct ServerProcess {
    pid_t pid = -1;
    std::string reference;

    explicit ServerProcess(bool recording) {
        int fds[2];
        if (pipe(fds) != 0) std::abort();
        pid = fork();
        if (pid == 0) {
            // The server ends with the benchmark, whichever way that ends.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            close(fds[0]);
            serve(fds[1], recording);
        }
        close(fds[1]);
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') reference += c;
        close(fds[0]);
    }
    ~ServerProcess() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};

// Both servers are started before this process starts its own ORB (a child of a process running
// ORB threads must not start one).
struct Setup {
    ServerProcess prefilled{false};
    ServerProcess recording{true};
    CORBA::ORB_var orb;
    Setup() {
        setenv("ORBendPoint", "giop:tcp:127.0.0.1:", 1);
        orb = startOrb("bench", "127.0.0.1", "", 1024);
    }
    FifoServer_ptr fifo(const ServerProcess& server) {
        CORBA::Object_var object = orb->string_to_object(server.reference.c_str());
        return FifoServer::_narrow(object);
    }
};

Setup& setup() {
    static Setup* instance = new Setup();  // the servers die with this process
    return *instance;
}

void RoundTrip(benchmark::State& state, CORBA::UShort player) {
    FifoServer_var fifo = setup().fifo(setup().prefilled);
    size_t bytes = 0;
    for (auto _ : state) {
        CORBA::String_var batch = fifo->getInstructions(player);
        bytes += strlen(batch.in());
    }
    state.counters["round_trips_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes_per_call"] = static_cast<double>(bytes) / state.iterations();
}

// getInstructions answering the empty string (the client's idle poll).
void BM_GetInstructionsEmptyQueue(benchmark::State& state) { RoundTrip(state, 2); }
BENCHMARK(BM_GetInstructionsEmptyQueue)
    ->Iterations(10000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

// getInstructions answering one batch of four race-frame instructions.
void BM_GetInstructionsFullBatch(benchmark::State& state) { RoundTrip(state, 1); }
BENCHMARK(BM_GetInstructionsFullBatch)
    ->Iterations(10000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

// From the server's flush of a frame to the client having replayed that frame's last batch, with
// the client's own receiving loop (fetch, replay, one rest when the queue is empty).
void BM_FlushToReplayLatency(benchmark::State& state) {
    FifoServer_var fifo = setup().fifo(setup().recording);
    BITMAP* window = create_bitmap(640, 480);
    std::vector<double> latencies;
    {
        ListaBitmaps registry(window);
        // Whatever queued up before the measurement (the stamped batches are never dropped).
        for (;;) {
            CORBA::String_var batch = fifo->getInstructions(1);
            if (batch[0] == '\0') break;
            executeBatch(registry, batch.in());
        }
        for (auto _ : state) {
            for (;;) {
                CORBA::String_var batch = fifo->getInstructions(1);
                const std::string text = batch.in();
                if (text.empty()) {
                    usleep(1000);  // the client's restBetweenPolls()
                    continue;
                }
                executeBatch(registry, text);
                const size_t stamp = text.find("destroy_bitmap t");
                if (stamp == std::string::npos) continue;
                const int64_t flushed = std::atoll(text.c_str() + stamp + 16);
                const double seconds = (monotonicMicros() - flushed) / 1e6;
                latencies.push_back(seconds);
                state.SetIterationTime(seconds);
                break;
            }
        }
    }
    destroy_bitmap(window);
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_us"] = latencies[latencies.size() / 2] * 1e6;
    state.counters["p90_us"] = latencies[latencies.size() * 9 / 10] * 1e6;
}
BENCHMARK(BM_FlushToReplayLatency)->Iterations(150)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

CORBA::ORB_ptr benchOrb() { return setup().orb.in(); }
