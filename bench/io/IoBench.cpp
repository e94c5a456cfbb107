// Time to read a data file: 10^5 points of text in the layouts labs use, and
// a recorded correlator file. Goal: a text file of 10^5 points well under 100 ms.
#include "io/DataReader.h"
#include "io/FileIO.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// n points of a decay, t from 1e-4 on a logarithmic grid, in the given layout.
std::string TextFile(int n, const char* format)
{
    std::string bytes = "Lag time [us]\tg2-1\r\n";
    char line[96];
    for (int i = 0; i < n; ++i) {
        const double t = 1e-4 * std::pow(10.0, 8.0 * i / n);
        std::snprintf(line, sizeof line, format, t, std::exp(-t / 50.0));
        bytes += line;
    }
    return bytes;
}

void ReadText(benchmark::State& state, const char* format)
{
    const std::string bytes = TextFile(static_cast<int>(state.range(0)), format);
    for (auto _ : state) {
        auto r = fluvena::io::ReadDataFile(bytes, {});
        if (!r.ok()) state.SkipWithError(r.failure().message().c_str());
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReadTextTab(benchmark::State& state) { ReadText(state, "%.7E\t%.7E\r\n"); }
void BM_ReadTextSemicolon(benchmark::State& state) { ReadText(state, "%.9g;%.9g\n"); }
BENCHMARK(BM_ReadTextTab)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextSemicolon)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadAlvFile(benchmark::State& state)
{
    const std::string bytes = fluvena::ReadFile(FLUVENA_ALV_FILE);
    for (auto _ : state) {
        auto r = fluvena::io::ReadDataFile(bytes, {});
        if (!r.ok()) state.SkipWithError(r.failure().message().c_str());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ReadAlvFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
