// PLTLOC0 on the shipped Moon and Sun files, read anew at every call and through the cache.
// The Moon's path calls it some 1,900 times for one drawing.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "astro/series.h"
#include "astro/seriescache.h"
#include "astro/startuptables.h"

using namespace nivora;

namespace {

const std::filesystem::path dataDir = NIVORA_DATA_DIR;

const StartupTables& shippedTables() {
    static const StartupTables tables = loadStartupTables(dataDir);
    return tables;
}

// Dates a few hours apart, as along the Moon's path.
DayNumber nextDate(DayNumber& d) {
    d += 0.123;
    return d;
}

void readEveryCall(benchmark::State& state, const char* name) {
    const auto file = dataDir / name;
    DayNumber d = 9000;
    double lon, lat, dist;
    for (auto _ : state) {
        PLTLOC0(shippedTables(), SeriesFrames{}, file, nextDate(d), 0, 1, lon, lat, dist);
        benchmark::DoNotOptimize(lon);
    }
}

void cached(benchmark::State& state, const char* name) {
    const auto file = dataDir / name;
    SeriesFileCache cache;
    DayNumber d = 9000;
    double lon, lat, dist;
    for (auto _ : state) {
        PLTLOC0(shippedTables(), SeriesFrames{}, cache, file, nextDate(d), 0, 1, lon, lat, dist);
        benchmark::DoNotOptimize(lon);
    }
}

} // namespace

BENCHMARK_CAPTURE(readEveryCall, Moon, "prmmon2.plt")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cached, Moon, "prmmon2.plt")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(readEveryCall, Sun, "prmsun2.plt")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cached, Sun, "prmsun2.plt")->Unit(benchmark::kMicrosecond);
