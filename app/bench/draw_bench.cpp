// One drawing alone into the off-screen bitmap, beside merely reading and parsing the star lists
// it reads. Run by hand: build/app/bench/draw_bench.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/program.h"
#include "astro/linefile.h"
#include "astro/starlist.h"
#include "render/drawing.h"

using namespace nivora;

namespace {

const std::filesystem::path dataDir = NIVORA_DATA_DIR;

// A program in a working folder of its own with the shipped data, its windows loaded.
std::unique_ptr<Program> makeProgram() {
    ensureApplication();
    const auto folder = std::filesystem::temp_directory_path() / ("nivora-draw-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(dataDir)) {
        const auto copy = folder / entry.path().filename();
        std::filesystem::copy_file(entry.path(), copy, std::filesystem::copy_options::skip_existing);
        // Files saved long ago, as a user's are: the caches then trust their time stamps.
        std::filesystem::last_write_time(copy, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    auto program = std::make_unique<Program>(folder);
    program->start();
    return program;
}

struct Chart {
    const char* size;
    float magnitudeLimit;
    const char* layout;
};
const Chart defaultChart{"320", 4.5f, "RADIO27"};
const Chart deepChart{"1000", 9.5f, "RADIO27"};
const Chart deepDualChart{"1000", 9.5f, "RADIO29"};

// DRAW once for the chart's bitmap, then DRAWINGIMG alone over it: with the star lists kept
// parsed, as every drawing after the first finds them, or read anew as the first one does.
void drawing(benchmark::State& state, Chart chart, bool listsKept) {
    const auto program = makeProgram();
    program->chartOptions.magnitudeLimit = chart.magnitudeLimit;
    program->ui.userType("EDIT1", chart.size);
    program->ui.userClick(chart.layout);
    program->ui.userClick("BUTTON1");
    for (auto _ : state) {
        if (!listsKept)
            program->starLists.clear();
        benchmark::DoNotOptimize(DRAWINGIMG(*program));
    }
    std::filesystem::remove_all(program->folder);
}

void readingStarLists(benchmark::State& state, Chart chart) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(readStarList(dataDir / "ALLSTAR5.txt"));
        if (chart.magnitudeLimit >= 6)
            benchmark::DoNotOptimize(readStarList(dataDir / "ALLSTAR7.txt"));
    }
}

// The Earth map as a new user first sees it: its coasts and borders kept parsed, as every
// drawing after the first finds them.
void earthMap(benchmark::State& state) {
    const auto program = makeProgram();
    program->ui.userClick("RADIO105");
    program->ui.userClick("BUTTON1");
    for (auto _ : state)
        benchmark::DoNotOptimize(DRAWINGIMG(*program));
    std::filesystem::remove_all(program->folder);
}

void coastRead(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(readLineFile(dataDir / "coast_bd.net"));
}

} // namespace

BENCHMARK(earthMap)->Unit(benchmark::kMillisecond);
BENCHMARK(coastRead)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, defaultChart, defaultChart, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, defaultChartListsReadAnew, defaultChart, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readingStarLists, defaultChart, defaultChart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, size1000Limit9_5, deepChart, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, size1000Limit9_5ListsReadAnew, deepChart, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readingStarLists, size1000Limit9_5, deepChart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, size1000Limit9_5DualBox, deepDualChart, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, size1000Limit9_5DualBoxListsReadAnew, deepDualChart, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readingStarLists, size1000Limit9_5DualBox, deepDualChart)->Unit(benchmark::kMillisecond);
