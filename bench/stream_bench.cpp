// The drawing-instruction stream: replaying a race frame on a client, and recording on a server.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "stream/gravador_tela.h"
#include "stream/instruction_format.h"
#include "stream/interpreter.h"
#include "stream/viewer_streams.h"

namespace {

// The instructions of one race frame with six runners: the stage picture scrolled into the frame
// buffer, each runner's animation frame and key picture, and the buffer shown on the window.
std::vector<std::string> raceFrameInstructions() {
    std::vector<std::string> frame;
    frame.push_back(formatBlit("mapaVisual", "bufferVisual", 4200, 0, 4200, 0, 640, 480));
    for (int id = 3; id < 9; ++id) {
        const std::string n = std::to_string(id);
        frame.push_back(formatBlit("bitmapBase" + n, "bitmap" + n, 42 * (id % 5), 0, 0, 0, 42, 47));
        frame.push_back(formatDrawSprite("bufferVisual", "bitmap" + n, 4300 + 50 * id, 380));
        frame.push_back(formatDrawSprite("bufferVisual", "bitmapTecla" + n, 4300 + 50 * id, 330));
    }
    frame.push_back(formatBlit("bufferVisual", "screen", 4200, 0, 0, 0, 640, 480));
    return frame;
}

// The frame as the batches a client receives: four instructions each.
std::vector<std::string> raceFrameBatches() {
    std::vector<std::string> batches;
    std::string batch;
    int count = 0;
    for (const std::string& text : raceFrameInstructions()) {
        batch += text + ";";
        if (++count == PictureBatcher::kBatchSize) {
            batches.push_back(batch);
            batch.clear();
            count = 0;
        }
    }
    if (!batch.empty()) batches.push_back(batch);
    return batches;
}

void BM_ExecuteRaceFrame(benchmark::State& state) {
    BITMAP* window = create_bitmap(640, 480);
    {
        ListaBitmaps registry(window);
        registry.bind("mapaVisual", BitmapHandle(create_bitmap(18000, 480)));
        registry.bind("bufferVisual", BitmapHandle(create_bitmap(18000, 480)));
        for (int id = 3; id < 9; ++id) {
            const std::string n = std::to_string(id);
            registry.bind("bitmapBase" + n, BitmapHandle(create_bitmap(210, 96)));
            registry.bind("bitmap" + n, BitmapHandle(create_bitmap(42, 47)));
            registry.bind("bitmapTecla" + n, BitmapHandle(create_bitmap(40, 40)));
        }
        const std::vector<std::string> batches = raceFrameBatches();
        for (auto _ : state) {
            for (const std::string& batch : batches) executeBatch(registry, batch);
        }
        state.SetItemsProcessed(state.iterations());
        state.counters["batches/frame"] = static_cast<double>(batches.size());
    }
    destroy_bitmap(window);
}
BENCHMARK(BM_ExecuteRaceFrame)->Unit(benchmark::kMicrosecond);

// Parsing alone: the same frame drawn with 1 x 1 bitmaps, so the graphics calls cost nothing.
void BM_ParseRaceFrame(benchmark::State& state) {
    BITMAP* window = create_bitmap(1, 1);
    {
        ListaBitmaps registry(window);
        for (const char* name : {"mapaVisual", "bufferVisual"})
            registry.bind(name, BitmapHandle(create_bitmap(1, 1)));
        for (int id = 3; id < 9; ++id) {
            const std::string n = std::to_string(id);
            for (const std::string& name : {"bitmapBase" + n, "bitmap" + n, "bitmapTecla" + n}) {
                registry.bind(name, BitmapHandle(create_bitmap(1, 1)));
            }
        }
        const std::vector<std::string> batches = raceFrameBatches();
        for (auto _ : state) {
            for (const std::string& batch : batches) executeBatch(registry, batch);
        }
        state.SetItemsProcessed(state.iterations());
    }
    destroy_bitmap(window);
}
BENCHMARK(BM_ParseRaceFrame)->Unit(benchmark::kMicrosecond);

// A server recording race frames for `players` clients that keep up (each frame is taken).
void BM_RecordRaceFrame(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    ViewerStreams streams(players);
    GravadorTela recorder(SessionMode::RecordsOnly);
    recorder.subscribe(streams);
    const std::vector<std::string> frame = raceFrameInstructions();
    for (auto _ : state) {
        for (const std::string& text : frame) recorder.addInstruction(text);
        recorder.flush();
        for (int p = 1; p <= players; ++p) {
            while (!streams.queues().takeBatch(static_cast<uint16_t>(p)).empty()) {
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(frame.size()));
}
BENCHMARK(BM_RecordRaceFrame)->Arg(0)->Arg(1)->Arg(6)->Unit(benchmark::kMicrosecond);

}  // namespace
