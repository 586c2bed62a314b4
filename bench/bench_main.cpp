// Benchmark runner: the graphics library with its null system driver and 32-bit memory bitmaps.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
