// One click on a drawn chart, the whole handler (the point, the nearest objects, the readout),
// beside merely reading both star lists line by line. Run by hand: build/app/bench/click_bench.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/bench/bench_program.h"
#include "app/program.h"
#include "chartwin/chart_window.h"
#include "platform/files.h"

using namespace nivora;

namespace {

using bench::dataDir;

// Tokyo on 2026-08-28 at 22:00, size 1000, magnification 4, drawn to magnitude 9.5, turned
// toward Vega, in a working folder of its own.
std::unique_ptr<Program> tokyoChart() {
    auto program = bench::makeProgram("click-bench");
    const std::pair<const char*, const char*> fields[] = {
        {"EDIT2", "+139.6917"}, {"EDIT3", "+35.6895"}, {"EDIT43", "40"}, {"EDIT4", "+9"}, {"EDIT5", "0"},
        {"EDIT6", "+9"},        {"EDIT7", "0"},        {"EDIT8", "2026"}, {"EDIT9", "28"}, {"EDIT10", "22"},
        {"EDIT11", "0"},        {"EDIT1", "1000"},     {"EDIT75", "4"},   {"EDIT12", "+280"}, {"EDIT13", "+80"}};
    for (const auto& [name, text] : fields)
        program->ui.control(name).setText(text);
    program->ui.control("COMBO1").setIndex(7);
    program->ui.control("RADIO27").setValue(1);
    program->ui.control("RADIO28").setValue(0);
    program->ui.control("RADIO29").setValue(0);
    program->minuteOptions.sunDataFrame = 1;
    program->chartOptions.magnitudeLimit = 9.5f;
    program->ui.userClick("BUTTON1");
    return program;
}

// A data file of `rows` equatorial rows spread over the sky, described on the data-file form.
void useDataFile(Program& program, int rows) {
    const auto file = program.folder / "bench-rows.txt";
    std::ofstream out(file);
    out << "# generated rows: right ascension, declination, name\n";
    for (int k = 0; k < rows; ++k) {
        char line[80];
        std::snprintf(line, sizeof line, "%10.4f %9.4f  row%05d\n", std::fmod(k * 137.508, 360.0),
                      std::asin(2.0 * (k + 0.5) / rows - 1) * 57.29578, k);
        out << line;
    }
    out.close();
    Ui& ui = program.ui;
    ui.control("CHECK6").setValue(1);
    ui.control("EDIT54").setText(file.string());
    ui.control("COMBO3").setIndex(5);
    const std::pair<const char*, const char*> fields[] = {
        {"EDIT20", "1"}, {"EDIT21", "10"}, {"EDIT22", "12"}, {"EDIT23", "9"},
        {"EDIT29", "#"}, {"EDIT50", "Name"}, {"EDIT44", "23"}, {"EDIT45", "8"}};
    for (const auto& [name, text] : fields)
        ui.control(name).setText(text);
    ui.control("CHECK7").setValue(1);
}

void click(benchmark::State& state, int dataRows) {
    const auto program = tokyoChart();
    if (dataRows > 0)
        useDataFile(*program, dataRows);
    const int x = imageInset + 520, y = imageInset + 520;
    for (auto _ : state)
        program->ui.userClickForm("FORM2", x, y);
    std::filesystem::remove_all(program->folder);
}

void readingBothListsLineByLine(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(readLines(dataDir / "ALLSTAR5.txt"));
        benchmark::DoNotOptimize(readLines(dataDir / "ALLSTAR7.txt"));
    }
}

} // namespace

BENCHMARK_CAPTURE(click, Click_TokyoLimit9_5, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(click, Click_TokyoLimit9_5_DataFile10000Rows, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK(readingBothListsLineByLine)->Unit(benchmark::kMillisecond);
