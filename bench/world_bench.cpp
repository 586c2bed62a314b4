// Race frames of the real game world: six runners on stage 1, in a server (recording only) and in
// local play (drawing into memory bitmaps). Uses the generated stage images when the working
// directory holds them (run from the build directory), otherwise a synthetic stage of the same
// size with a floor, written to a temporary directory.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <jpgalleg.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/clock.h"
#include "stream/gravador_tela.h"
#include "stream/viewer_streams.h"
#include "world/mapa.h"
#include "world/runner_sprites.h"
#include "world/stage_loading.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string>& kSprites = runnerSpritesInOrder();

void saveFilled(const std::string& path, int width, int height, int colour) {
    BITMAP* bitmap = create_bitmap(width, height);
    clear_to_color(bitmap, colour);
    save_bitmap(path.c_str(), bitmap, nullptr);
    destroy_bitmap(bitmap);
}

// The stage to race: the real stage 1, or a synthetic one in a temporary working directory.
class BenchStage {
  public:
    BenchStage() : previous_(fs::current_path()) {
        jpgalleg_init();  // the stage pictures are JPEG, as at graphics start-up
        if (fs::exists(stage1Data().visualPath) && fs::exists(kSprites[0])) {
            data_ = stage1Data();
            return;
        }
        std::string pattern = (fs::temp_directory_path() / "corrida_bench_XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        fs::create_directories(dir_ / "Img" / "Jogo");
        fs::create_directories(dir_ / "Img" / "menu");
        fs::current_path(dir_);
        BITMAP* visual = create_bitmap(18000, 480);
        clear_to_color(visual, makecol(0, 0, 0));
        for (int x = 0; x < 18000; x += 7) vline(visual, x, 21, 399, makecol(x % 256, 90, 160));
        save_bitmap("Img/Jogo/synthetic_visual.bmp", visual, nullptr);
        destroy_bitmap(visual);
        for (const std::string& sprite : kSprites) saveFilled(sprite, 210, 96, makecol(0, 200, 0));
        for (const char* name : {"X", "M", "R", "A", "CTRL", "3"}) {
            saveFilled(std::string("Img/Jogo/") + name + ".bmp", 40, 40, makecol(250, 250, 0));
        }
        saveFilled("Img/Jogo/pixelTransparente.bmp", 1, 1, makecol(255, 0, 255));
        data_ = stage1Data();
        data_.visualPath = "Img/Jogo/synthetic_visual.bmp";
    }
    ~BenchStage() {
        fs::current_path(previous_);
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    std::unique_ptr<Mapa> load() { return loadStage(data_, kSprites, 6); }

  private:
    fs::path previous_;
    fs::path dir_;
    StageData data_;
};

// Races frames 34 ms apart; a new attempt starts (untimed) whenever a runner is out.
void raceSixRunners(benchmark::State& state, int recorderPlayers) {
    // A server's recorder feeds its players' queues, which its fetches drain.
    ViewerStreams streams(recorderPlayers);
    GravadorTela recorder(recorderPlayers > 0 ? SessionMode::RecordsOnly
                                              : SessionMode::DrawsLocally);
    if (recorderPlayers > 0) recorder.subscribe(streams);
    GravadorTela::install(&recorder);
    useSimulatedClock(0);
    BITMAP* window = create_bitmap(640, 480);
    BITMAP* const realScreen = screen;
    screen = window;
    {
        BenchStage stage;
        std::unique_ptr<Mapa> map = stage.load();
        for (auto _ : state) {
            advanceSimulatedClock(34);
            map->raceFrame();
            if (map->activeRunners() < 6) {
                state.PauseTiming();
                map.reset();
                map = stage.load();
                state.ResumeTiming();
            }
            if (recorderPlayers > 0) {
                while (!streams.queues().takeBatch(1).empty()) {
                }
            }
        }
        map.reset();
    }
    screen = realScreen;
    destroy_bitmap(window);
    useRealClock();
    GravadorTela::install(nullptr);
}

void BM_RaceFrameServer(benchmark::State& state) { raceSixRunners(state, 1); }
void BM_RaceFrameLocal(benchmark::State& state) { raceSixRunners(state, 0); }

BENCHMARK(BM_RaceFrameServer)->Unit(benchmark::kMicrosecond)->Iterations(3000);
BENCHMARK(BM_RaceFrameLocal)->Unit(benchmark::kMicrosecond)->Iterations(3000);

}  // namespace
