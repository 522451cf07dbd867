// The conversion at the size that froze the window: 100,000 pairs against a full table of
// 4,999 stars, every pair looking up two stars spread over the whole table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "converter/conversion.h"

namespace {

std::string starNumber(int i) {
    char text[8];
    std::snprintf(text, sizeof text, "S%06d", i);
    return text;
}

void fullTable(benchmark::State& state) {
    std::string stars, pairs;
    for (int i = 0; i < tarvex::maxStars; ++i)
        stars += starNumber(i) + "  123.45678  -12.34567\r\n";
    stars += "#-\r\n";
    for (int i = 0; i < 100000; ++i)
        pairs += "UMa      " + starNumber(int(i * 7919LL % tarvex::maxStars)) + " " +
                 starNumber(int(i * 104729LL % tarvex::maxStars)) + "\r\n";
    pairs += "#-\r\n#-\r\n";
    for (auto _ : state) {
        tarvex::Conversion c = tarvex::convertConstellationLines(stars, pairs);
        benchmark::DoNotOptimize(c.segments);
    }
}
BENCHMARK(fullTable)->Unit(benchmark::kMillisecond);

} // namespace
