// Time of one cumulant fit of 200 correlator points (the whole series as the
// range, and the default range, which keeps about half of them).
#include "Synthetic.h"
#include "cumulants/Cumulants.h"

#include <benchmark/benchmark.h>

namespace {

namespace cu = fluvena::cumulants;
using namespace cumulants_bench;

void Run(benchmark::State& state, cu::Method method, bool wholeSeries)
{
    const auto t = CorrelatorLags(200);
    // A slow, broad decay (10 1/s, PDI 0.1) so that the 200 lags to 3.4 s carry it.
    const auto y = G2Minus1(t, LogNormal(10.0, 0.1), 0.2, 1e-3, 7);
    cu::Options o;
    o.method = method;
    o.order = int(state.range(0));
    if (wholeSeries) o.range = cu::IndexRange{0, t.size() - 1};
    const auto probe = cu::Fit(t, y, o);
    if (!probe) {
        state.SkipWithError(probe.failure().message().c_str());
        return;
    }
    state.counters["points"] = probe->pointsUsed;
    for (auto _ : state) benchmark::DoNotOptimize(cu::Fit(t, y, o));
}

void BM_Iso22412(benchmark::State& state) { Run(state, cu::Method::Iso22412, true); }
void BM_Frisken(benchmark::State& state) { Run(state, cu::Method::Frisken, true); }
void BM_Iso22412DefaultRange(benchmark::State& state) { Run(state, cu::Method::Iso22412, false); }
BENCHMARK(BM_Iso22412)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Frisken)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Iso22412DefaultRange)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
