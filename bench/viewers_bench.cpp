// Many viewers of one server, in one process: a recording thread draws a six-runner race at the
// server's 29 pictures a second, and N viewer threads each fetch their spectator queue with the
// compressed frames fetch (the server's own DeflatedFrames and ViewerQueues, as the servant calls
// them, without the ORB) and inflate every answer as a client does, with no window.
//
// Counters: "server_cpu_%" is the recording thread's CPU plus the CPU the viewers' calls spent
// inside the server's fetch (taking and deflating), in % of one core; "slowest_viewer_fps" and
// "median_viewer_fps" are the pictures a second the viewers inflated.
//   corrida_bench --benchmark_filter=ManyViewers
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "picture_count.h"
#include "platform/clock.h"
#include "stream/deflate_stream.h"
#include "stream/frame_marker.h"
#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/viewer_streams.h"

namespace {

int64_t threadCpuMicros() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// One race picture with six runners, their animation frames and the scrolling stage.
void recordPicture(GravadorTela& recorder, int frame) {
    const int x = (frame * 4) % 1000;
    recorder.addInstruction(formatBlit("mapaVisual", "bufferVisual", x, 0, x, 0, 640, 480));
    for (int runner = 0; runner < 6; ++runner) {
        const std::string base = "bitmapBase" + std::to_string(runner);
        const std::string cell = "bitmap" + std::to_string(runner);
        recorder.addInstruction(
            formatBlit(base, cell, 42 * ((frame + runner) % 5), 0, 0, 0, 42, 47));
        recorder.addInstruction(
            formatDrawSprite("bufferVisual", cell, x + 120 + 60 * runner, runner % 2 ? 90 : 380));
    }
    recorder.addInstruction(formatBlit("bufferVisual", "screen", x, 0, 0, 0, 640, 480));
    recorder.flush();
}

void ManyViewers(benchmark::State& state) {
    const int viewers = static_cast<int>(state.range(0));
    constexpr int64_t kMeasuredMs = 3000;
    for (auto _ : state) {
        ViewerStreams streams(6);
        GravadorTela recorder(SessionMode::RecordsOnly);
        recorder.subscribe(streams);
        for (int v = 0; v < viewers; ++v) streams.restartQueue(ViewerQueues::kFirstSpectator + v);
        std::atomic<bool> running{true};
        std::atomic<int64_t> serverMicros{0};
        std::vector<uint64_t> pictures(static_cast<size_t>(viewers), 0);
        std::thread drawing([&] {
            const int64_t cpuStart = threadCpuMicros();
            for (int frame = 0; running; ++frame) {
                recordPicture(recorder, frame);
                sleepMs(34);
            }
            serverMicros += threadCpuMicros() - cpuStart;
        });
        std::vector<std::thread> fetching;
        for (int v = 0; v < viewers; ++v) {
            fetching.emplace_back([&, v] {
                const auto viewer = static_cast<uint16_t>(ViewerQueues::kFirstSpectator + v);
                Inflater inflater;
                while (running) {
                    uint64_t part = 0;
                    const int64_t before = threadCpuMicros();
                    const std::string bytes = streams.takeDeflatedFrames(viewer, 250, part);
                    serverMicros += threadCpuMicros() - before;
                    if (part == 0) continue;
                    if (const std::optional<std::string> text = inflater.inflate(bytes)) {
                        pictures[static_cast<size_t>(v)] += picturesIn(*text);
                    }
                }
            });
        }
        const int64_t start = clockMs();
        sleepMs(kMeasuredMs);
        running = false;
        for (std::thread& thread : fetching) thread.join();
        drawing.join();
        const double seconds = static_cast<double>(clockMs() - start) / 1000.0;
        std::sort(pictures.begin(), pictures.end());
        state.counters["server_cpu_%"] = 100.0 * static_cast<double>(serverMicros) / 1e6 / seconds;
        state.counters["slowest_viewer_fps"] = static_cast<double>(pictures.front()) / seconds;
        state.counters["median_viewer_fps"] =
            static_cast<double>(pictures[pictures.size() / 2]) / seconds;
    }
}
BENCHMARK(ManyViewers)->Arg(6)->Arg(30)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
