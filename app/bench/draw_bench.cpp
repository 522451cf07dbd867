// One drawing alone into the off-screen bitmap, beside merely reading and parsing the star lists
// it reads, and a whole DRAW around it. Run by hand: build/app/bench/draw_bench.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/bench/bench_program.h"
#include "app/program.h"
#include "astro/linefile.h"
#include "astro/starlist.h"
#include "astro/vectors.h"
#include "render/bodymarks.h"
#include "render/drawing.h"
#include "render/moonpath.h"

using namespace nivora;

namespace {

using bench::dataDir;

std::unique_ptr<Program> makeProgram() { return bench::makeProgram("draw-bench"); }

struct Chart {
    const char* size;
    float magnitudeLimit;
    const char* layout;
    const char* magnification = "1";
};
const Chart defaultChart{"320", 4.5f, "RADIO27"};
const Chart deepChart{"1000", 9.5f, "RADIO27"};
const Chart deepDualChart{"1000", 9.5f, "RADIO29"};
const Chart deepChartMag10{"1000", 9.5f, "RADIO27", "10"};
const Chart deepChartMag1000{"1000", 9.5f, "RADIO27", "1000"};
const Chart deepDualChartMag1000{"1000", 9.5f, "RADIO29", "1000"};
const Chart hugeChart{"9999", 9.5f, "RADIO27"};

// The main window's fields for a chart, then DRAW. The layout goes first: Dual-Box puts the
// magnification back to 1.
void drawChart(Program& program, const Chart& chart) {
    program.chartOptions.magnitudeLimit = chart.magnitudeLimit;
    program.ui.userClick(chart.layout);
    program.ui.userType("EDIT1", chart.size);
    program.ui.userType("EDIT75", chart.magnification);
    program.ui.userClick("BUTTON1");
}

// A figure of /proc/self/status in bytes ("VmRSS", "VmHWM").
double statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) * 1024;
    return 0;
}

// Starts the peak (VmHWM) afresh at the present resident size.
void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// DRAW once for the chart's bitmap, then DRAWINGIMG alone over it: with the star lists kept
// parsed, as every drawing after the first finds them, or read anew as the first one does.
void drawing(benchmark::State& state, Chart chart, bool listsKept) {
    const auto program = makeProgram();
    drawChart(*program, chart);
    for (auto _ : state) {
        if (!listsKept)
            program->starLists.clear();
        benchmark::DoNotOptimize(DRAWINGIMG(*program));
    }
    std::filesystem::remove_all(program->folder);
}

// DRAW pressed again at the size of the chart shown, the lists already read: the bitmap, the
// drawing and the window fitted to it. The counters show the memory the program held at rest
// before the first DRAW at this size and how far above it the DRAWs peaked, in bitmaps.
void drawButton(benchmark::State& state, Chart chart) {
    const auto program = makeProgram();
    drawChart(*program, defaultChart);
    const double resting = statusBytes("VmRSS");
    resetPeakMemory();
    drawChart(*program, chart);
    for (auto _ : state)
        program->ui.userClick("BUTTON1");
    const double bitmapBytes = double(program->chartBitmap.image().sizeInBytes());
    state.counters["restingMB"] = resting / 1e6;
    state.counters["bitmapMB"] = bitmapBytes / 1e6;
    state.counters["peakAboveRestingInBitmaps"] = (statusBytes("VmHWM") - resting) / bitmapBytes;
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

// The Moon's computed path (mode 2) on the default sky at a magnification, in one box or two;
// "Nothing" gives the same drawing without it. The layout goes first: Dual-Box puts the
// magnification back to 1. The counters show the magnification drawn and, in two boxes, the Moon
// positions of the thirty days' points, which the path computes only where they reach a box.
void moonPath(benchmark::State& state, const char* magnification, const char* layout, const char* menu) {
    const auto program = makeProgram();
    program->ui.userClick(layout);
    program->ui.userType("EDIT75", magnification);
    program->ui.userMenu(menu);
    program->ui.userClick("BUTTON1");
    for (auto _ : state)
        benchmark::DoNotOptimize(DRAWINGIMG(*program));
    state.counters["magnification"] = program->chartView.magnification;
    if (program->chartView.dualBox == 1 && program->chartOptions.moonLineMode >= 2)
        state.counters["positions"] = 30 * moonPathPointsPerDay(program->userProjection.chartScale);
    std::filesystem::remove_all(program->folder);
}

// Times DRAW of the chart the fields hold, shows the magnification it drew (a close-up can be
// capped) and removes the program's folder.
void drawCloseUp(benchmark::State& state, Program& program) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DRAWINGIMG(program));
    state.counters["magnification"] = program.chartView.magnification;
    std::filesystem::remove_all(program.folder);
}

// The Moon's track with parallax (mode 3) at size 1000, on a sky chart centred on the full Moon
// high over Tokyo (2024 May 23, midnight), with refraction on as a new user finds it.
void moonTrackOnTheMoon(benchmark::State& state, const char* magnification) {
    const auto program = makeProgram();
    const std::pair<const char*, const char*> fields[] = {
        {"EDIT2", "+139.7"}, {"EDIT3", "+35.7"}, {"EDIT43", "0"},  {"EDIT4", "+9"}, {"EDIT5", "00"},
        {"EDIT8", "2024"},   {"EDIT9", "24"},    {"EDIT10", "0"}, {"EDIT11", "0"}, {"EDIT1", "1000"}};
    for (const auto& [name, text] : fields)
        program->ui.userType(name, text);
    program->ui.userChoose("COMBO1", 4);
    program->ui.userClick("BUTTON1");
    double azimuth, altitude, r;
    const DirectionVector moon = apparentBody(*program, moonBody).apparent;
    ZENITH(moon[0], moon[1], moon[2], azimuth, altitude, r);
    program->ui.userType("EDIT12", std::to_string(azimuth * degreesPerRadian));
    program->ui.userType("EDIT13", std::to_string(altitude * degreesPerRadian));
    program->ui.userType("EDIT75", magnification);
    program->ui.userMenu("MONLINE3");
    program->ui.userClick("BUTTON1");
    drawCloseUp(state, *program);
}

// The user projection close up at size 1000, the constellation lines and every grid drawn every
// 10 degrees, on the default sky.
void userProjection(benchmark::State& state, const char* magnification) {
    const auto program = makeProgram();
    for (const char* menu : {"AZIMUSER", "CONST1", "ZENITH10", "EQUAT10", "ECLIP10"})
        program->ui.userMenu(menu);
    program->ui.userType("EDIT1", "1000");
    program->ui.userType("EDIT75", magnification);
    program->ui.userClick("BUTTON1");
    drawCloseUp(state, *program);
}

// The Earth's lines every 15 arc minutes on the ground, seen from a height in metres, toward the
// zenith or toward an elevation in degrees; below the horizon with everything under it shown, as
// a user looking down at the Earth chooses it. Magnified, at size 1000 in a layout and
// Mollweide's projection, whose places cost the most: close up in Dual-Box a 3' segment is
// millions of pixels long, a few of them seen; half Height puts the horizon at the bottom, the
// chart centre far outside the box.
void earthLines(benchmark::State& state, const char* height, const char* elevation = nullptr,
                const char* layout = nullptr, const char* magnification = nullptr) {
    const auto program = makeProgram();
    if (layout) {
        program->ui.userClick(layout);
        program->ui.userMenu("MOLLW");
        program->ui.userType("EDIT1", "1000");
        program->ui.userType("EDIT75", magnification);
    }
    program->ui.userType("EDIT43", height);
    if (elevation) {
        program->ui.userType("EDIT13", elevation);
        program->ui.userMenu("UNDA");
    }
    program->ui.userMenu("SRFQ");
    program->ui.userClick("BUTTON1");
    for (auto _ : state)
        benchmark::DoNotOptimize(DRAWINGIMG(*program));
    std::filesystem::remove_all(program->folder);
}

// The zenithal grid and the horizon in Dual-Box, looking a little down with the horizon at the
// bottom of the box, close up in Mollweide's projection: the chart centre lies far off the box.
void horizonAtTheBottom(benchmark::State& state) {
    const auto program = makeProgram();
    program->ui.userClick("RADIO29");
    program->ui.userMenu("MOLLW");
    program->ui.userMenu("IMGHLZNT");
    program->ui.userType("EDIT1", "225");
    program->ui.userType("EDIT75", "16113");
    program->ui.userType("EDIT13", "-5");
    program->ui.userClick("BUTTON1");
    for (auto _ : state)
        benchmark::DoNotOptimize(DRAWINGIMG(*program));
    std::filesystem::remove_all(program->folder);
}

// A star map close up in Dual-Box, Hammer's projection, size 498: a constellation line through
// the boxes is then thousands of millions of pixels long, a few hundred of them seen.
void constellationLinesCloseUp(benchmark::State& state, const char* magnification) {
    const auto program = makeProgram();
    program->ui.userClick("RADIO3");
    program->ui.userClick("RADIO29");
    program->ui.userMenu("HAMMER");
    program->ui.userType("EDIT1", "498");
    program->ui.userType("EDIT75", magnification);
    program->ui.userClick("BUTTON1");
    drawCloseUp(state, *program);
}

// The default sky close up in Dual-Box with the horizontal grid numbered: its circle of altitude
// 0 is then millions of dots, the rest of the grid a few.
void numberedHorizontalGrid(benchmark::State& state, const char* magnification) {
    const auto program = makeProgram();
    program->ui.userClick("RADIO29");
    program->ui.userType("EDIT75", magnification);
    program->chartOptions.zenithGridNumbers = 1;
    program->ui.userClick("BUTTON1");
    drawCloseUp(state, *program);
}

// DRAW at size 9999 with the coordinates from the centre drawn as Grids(2), right after a DRAW at
// the default size: the first drawing at the new size, its bitmap made anew.
void centreGridsFirstDrawAtSize9999(benchmark::State& state) {
    const auto program = makeProgram();
    program->chartOptions.centerCoordsMode = 2;
    for (auto _ : state) {
        state.PauseTiming();
        program->ui.userType("EDIT1", "320");
        program->ui.userClick("BUTTON1");
        program->ui.userType("EDIT1", "9999");
        state.ResumeTiming();
        program->ui.userClick("BUTTON1");
    }
    std::filesystem::remove_all(program->folder);
}

void coastRead(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(readLineFile(dataDir / "coast_bd.net"));
}

// "Save as bitmap" of the largest chart (size 9999, Dual-Box, a 310 MB file), beside what it
// is measured against in the same run: a plain write of the same bytes, held ready in memory, to
// a new file (no conversion, no temporary file, no sync), and the save as it was before the
// file writer (a whole 24-bit copy written by Qt to the file itself, no sync). The counter
// shows how far the memory peaked above the drawn bitmap.
enum class BitmapSave { throughTheWriter, plainWrite, qtWithoutTheWriter };

void saveBitmap(benchmark::State& state, BitmapSave way) {
    const auto program = makeProgram();
    drawChart(*program, {"9999", 9.5f, "RADIO29"});
    const std::filesystem::path file = program->folder / "chart.bmp";
    std::string bytes;
    if (way == BitmapSave::plainWrite) {
        program->chartBitmap.saveBmp(file.string());
        bytes.resize(std::filesystem::file_size(file));
        std::ifstream(file, std::ios::binary).read(bytes.data(), std::streamsize(bytes.size()));
        program->chartBitmap.create(1, 1);
        std::filesystem::remove(file);
    }
    double peakExtra = 0;
    for (auto _ : state) {
        const double resting = statusBytes("VmRSS");
        resetPeakMemory();
        bool saved = true;
        switch (way) {
        case BitmapSave::throughTheWriter:
            saved = program->chartBitmap.saveBmp(file.string());
            break;
        case BitmapSave::plainWrite:
            std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
            break;
        case BitmapSave::qtWithoutTheWriter:
            saved = program->chartBitmap.image()
                        .convertToFormat(QImage::Format_RGB888)
                        .save(QString::fromStdString(file.string()), "bmp");
            break;
        }
        if (!saved) {
            state.SkipWithError("the save failed");
            break;
        }
        peakExtra = std::max(peakExtra, statusBytes("VmHWM") - resting);
        state.PauseTiming();
        std::filesystem::remove(file);
        state.ResumeTiming();
    }
    if (way != BitmapSave::plainWrite)
        state.counters["peakExtraMB"] = peakExtra / 1e6;
    std::filesystem::remove_all(program->folder);
}

} // namespace

BENCHMARK(earthMap)->Unit(benchmark::kMillisecond);
BENCHMARK(coastRead)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, MoonPathMag1, "1", "RADIO27", "MONLINE2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, MoonPathMag10, "10", "RADIO27", "MONLINE2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, MoonPathMag1000, "1000", "RADIO27", "MONLINE2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, MoonPathDualBoxMag1, "1", "RADIO29", "MONLINE2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, NoMoonPathDualBoxMag1, "1", "RADIO29", "MONLINE0")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, MoonPathDualBoxMag10, "10", "RADIO29", "MONLINE2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, NoMoonPathDualBoxMag10, "10", "RADIO29", "MONLINE0")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonPath, MoonPathDualBoxMag1000, "1000", "RADIO29", "MONLINE2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moonTrackOnTheMoon, ParallaxTrackOnTheMoonMag1E6, "1000000")
    ->Name("moonPath/ParallaxTrackOnTheMoonMag1E6")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(userProjection, GridsAndLinesMag2_8E7, "2.8E7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(earthLines, EarthLines400km, "400000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(earthLines, EarthLines36000km, "36000000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(earthLines, EarthLines36000kmFacingTheEarth, "36000000", "-90")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(earthLines, EarthLines400kmFacingTheEarthDualBoxMag1E6, "400000", "-90", "RADIO29", "1000000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(earthLines, HalfHeight36000kmMollweideMag1000, "36000000", "-90", "RADIO28", "1000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(earthLines, FacingTheEarth36000kmMollweideMag5, "36000000", "-90", "RADIO27", "5")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(horizonAtTheBottom)->Name("grids/HorizonAtBottomDualBoxMag16113")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(constellationLinesCloseUp, DualBoxMag2.3E8, "2.3E8")
    ->Name("constellationLines/DualBoxMag2.3E8")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(numberedHorizontalGrid, DualBoxNumberedHorizontalMag23000, "23000")
    ->Name("grids/DualBoxNumberedHorizontalMag23000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(centreGridsFirstDrawAtSize9999)
    ->Name("drawing/centreGridsSize9999")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
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
BENCHMARK_CAPTURE(drawing, mag10, deepChartMag10, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, mag1000, deepChartMag1000, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawing, dualBoxMag1000, deepDualChartMag1000, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawButton, size1000, deepChart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawButton, size9999, hugeChart)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(saveBitmap, size9999, BitmapSave::throughTheWriter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(saveBitmap, plainWriteSize9999, BitmapSave::plainWrite)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(saveBitmap, qtWithoutTheWriterSize9999, BitmapSave::qtWithoutTheWriter)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
