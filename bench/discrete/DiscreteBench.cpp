// Time of one DISCRETE run on a deck of the product's kind: 100 points,
// NLAMMX 6, MTRY 5, rounded to three significant digits.
#include "discrete/Listing.h"

#include "base/NumberFormat.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

std::string Deck(const std::string& card2, int components) {
    std::mt19937 rng(42);
    std::normal_distribution<double> noise(0.0, 1e-3);
    const double amps[3] = {0.4, 0.6, 0.3};
    const double taus[3] = {10, 200, 2};
    std::string d = "nazwa.in\n" + card2 + "\n100\n";
    std::vector<double> t;
    for (int k = 0; k < 100; ++k) t.push_back(0.5 * std::pow(1.08, k));
    for (double x : t) d += fluvena::FormatFloat(x, fluvena::Pattern::E2, '.') + "\n";
    for (double x : t) {
        double y = 0.002 + noise(rng);
        for (int j = 0; j < components; ++j) y += amps[j] * std::exp(-x / taus[j]);
        d += fluvena::FormatFloat(y, fluvena::Pattern::E2, '.') + "\n";
    }
    return d;
}

void Run(benchmark::State& state, const std::string& deck) {
    for (auto _ : state) {
        std::string listing = fluvena::discrete::RunDeck(deck);
        benchmark::DoNotOptimize(listing);
    }
}

// Unit weights: one analysis.
void BM_TwoComponents_Iwt1(benchmark::State& s) { Run(s, Deck("TFFTFFFFF  6  1  5", 2)); }
// The product's default card: IWT 2 adds the unit-weight analysis that gives
// the weights; PRFINL and PLOTRS print every fit.
void BM_TwoComponents_DefaultCard(benchmark::State& s) { Run(s, Deck("TFFTFFTTF  6  2  5", 2)); }
void BM_ThreeComponents_DefaultCard(benchmark::State& s) { Run(s, Deck("TFFTFFTTF  6  2  5", 3)); }
void BM_ThreeComponents_Repeat(benchmark::State& s) { Run(s, Deck("TFFTFFTTT  6  2  5", 3)); }

// The product's default deck as recorded beside the reference listing.
void BM_FixtureDeck_Bimodal(benchmark::State& s) {
    std::ifstream in(std::string(FLUVENA_TEST_DATA) + "/bimodal.discrete.in", std::ios::binary);
    std::stringstream deck;
    deck << in.rdbuf();
    if (deck.str().empty()) s.SkipWithError("bimodal.discrete.in not found");
    Run(s, deck.str());
}

BENCHMARK(BM_FixtureDeck_Bimodal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoComponents_Iwt1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoComponents_DefaultCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeComponents_DefaultCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeComponents_Repeat)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
