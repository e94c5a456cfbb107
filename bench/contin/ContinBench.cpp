// Time of one complete CONTIN run (deck reading, alpha scan, listing) on
// two component decay data of the fixtures' kind.
#include "ContinEngine.h"
#include "Synthetic.h"

#include <benchmark/benchmark.h>

namespace {

std::string Deck(int ny, int ng) {
    auto t = contin_test::LogSpaced(1, 1e4, ny);
    auto y = contin_test::Decays(t, {{10, 0.6}, {200, 0.4}}, 1e-3, 5);
    return contin_test::ProductDeck(t, y, 0.1, 1e3, ng);
}

void BM_RunContin(benchmark::State& state) {
    const std::string deck = Deck(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(fluvena::contin::RunContin(deck));
}
BENCHMARK(BM_RunContin)->Args({100, 100})->Args({500, 200})->Unit(benchmark::kMillisecond);

void BM_Solve(benchmark::State& state) {
    auto dr = fluvena::contin::ReadDeck(Deck(int(state.range(0)), int(state.range(1))));
    for (auto _ : state) benchmark::DoNotOptimize(fluvena::contin::Solve(dr.deck));
    state.counters["solutions"] = double(fluvena::contin::Solve(dr.deck).solutions.size());
}
BENCHMARK(BM_Solve)->Args({100, 100})->Args({500, 200})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
