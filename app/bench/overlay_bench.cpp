// The data-file overlay and the data-file search over a generated 10,000-row file whose every
// row lies on the chart, beside merely reading that file line by line. Run by hand:
// build/app/bench/overlay_bench.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/program.h"
#include "chartwin/data_file_stream.h"
#include "chartwin/file_search.h"
#include "chartwin/overlay_drawing.h"

using namespace nivora;

namespace {

const std::filesystem::path dataDir = NIVORA_DATA_DIR;

// A started program in a folder of its own, a zenith-centred sky of 320 pixels drawn, and
// "rows.txt": azimuths all round, altitudes 10 to 80 degrees, magnitudes -1 to 6.
std::unique_ptr<Program> makeProgram()
{
    ensureApplication();
    const auto folder = std::filesystem::temp_directory_path() / ("nivora-overlay-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(dataDir))
        std::filesystem::copy_file(entry.path(), folder / entry.path().filename(),
                                   std::filesystem::copy_options::skip_existing);
    {
        std::ofstream out(folder / "rows.txt");
        out << "# generated\n";
        char line[96];
        for (int k = 0; k < 10000; ++k) {
            std::snprintf(line, sizeof line, "%03d        %7.2f        %6.2f  Row%04d 2026-08-28 22:%02d    %5.1f",
                          k % 1000, (k * 37) % 36000 / 100.0, 10 + (k * 7) % 7000 / 100.0, k, k % 60,
                          -1 + (k % 70) / 10.0);
            out << line << '\n';
        }
    }
    auto program = std::make_unique<Program>(folder);
    program->start();
    program->ui.control("EDIT12").setText("0");
    program->ui.control("EDIT13").setText("90");
    program->ui.userClick("BUTTON1");
    program->ui.control("EDIT54").setText("rows.txt");
    program->ui.control("COMBO3").setIndex(0);
    return program;
}

void overlay(benchmark::State& state, int shape)
{
    const auto program = makeProgram();
    program->ui.form("FORM4").setGroupCode("markShape", shape);
    std::int16_t err = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(DRAWFILE(*program, err));
    std::filesystem::remove_all(program->folder);
}

void searchFile(benchmark::State& state)
{
    const auto program = makeProgram();
    program->ui.control("EDIT53").setText("Row0042");
    program->ui.control("CHECK7").setValue(1);
    program->ui.control("EDIT44").setText("35");
    program->ui.control("EDIT45").setText("7");
    for (auto _ : state)
        SEARCHFILE(*program, 1);
    std::filesystem::remove_all(program->folder);
}

void readDataFileLines(benchmark::State& state)
{
    const auto program = makeProgram();
    for (auto _ : state) {
        DataFileStream in(program->folder / "rows.txt");
        std::string line;
        std::size_t bytes = 0;
        while (in.next(line))
            bytes += line.size();
        benchmark::DoNotOptimize(bytes);
    }
    std::filesystem::remove_all(program->folder);
}

} // namespace

BENCHMARK_CAPTURE(overlay, OverlayCrosses, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(overlay, OverlayCircleScaledByMag, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(searchFile)->Name("SearchFileWithSearchSky")->Unit(benchmark::kMillisecond);
BENCHMARK(readDataFileLines)->Name("ReadDataFileLinesOnly")->Unit(benchmark::kMillisecond);
