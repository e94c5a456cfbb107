// Seeded survey of the DISCRETE engine on synthetic decays, run on demand:
//   discrete_survey [SEEDS]        one line a run and a tally per noise level
// Each run writes a deck the way the product does (values rounded to three
// significant digits), reads it with the engine's deck reader and analyses it
// as the listing would. The per-run lines (best count, rates and amplitudes
// at full precision, PUNC, the ranking of the counts) let two builds be
// compared run by run.
#include "discrete/DeckReader.h"
#include "discrete/Listing.h"

#include "base/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Truth {
    const char* name;
    std::vector<double> amps;
    std::vector<double> taus;
};

const Truth kCases[] = {
    {"one_50", {1.0}, {50}},
    {"two_10_200", {0.4, 0.6}, {10, 200}},
    {"two_20_100", {0.5, 0.5}, {20, 100}},
    {"three_2_40_900", {0.3, 0.4, 0.3}, {2, 40, 900}},
};

// The product's default card (IWT 2, every fit printed) and unit weights
// with one component more than the truth.
std::string Card(const Truth& truth, bool baseline, bool productCard) {
    std::string sw = baseline ? "TFFT" : "TFTT";
    if (productCard) return sw + "FFTTF  6  2  5";
    return sw + "FFFFF  " + std::to_string(truth.amps.size() + 1) + "  1  5";
}

std::string MakeDeck(const Truth& truth, bool baseline, bool productCard, double noise, unsigned seed) {
    const int n = 100;
    const double tMin = 0.2 * *std::min_element(truth.taus.begin(), truth.taus.end());
    const double tMax = 6.0 * *std::max_element(truth.taus.begin(), truth.taus.end());
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, noise);
    std::string d = "nazwa.in\n" + Card(truth, baseline, productCard) + "\n100\n";
    std::vector<double> t;
    for (int k = 0; k < n; ++k) t.push_back(tMin * std::pow(tMax / tMin, k / (n - 1.0)));
    for (double x : t) d += fluvena::FormatFloat(x, fluvena::Pattern::E2, '.') + "\n";
    for (double x : t) {
        double y = (baseline ? 0.01 : 0.0) + gauss(rng);
        for (std::size_t j = 0; j < truth.amps.size(); ++j) y += truth.amps[j] * std::exp(-x / truth.taus[j]);
        d += fluvena::FormatFloat(y, fluvena::Pattern::E2, '.') + "\n";
    }
    return d;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace fluvena::discrete;
    const int seeds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    for (double noise : {1e-4, 1e-3, 1e-2}) {
        int runs = 0, rightCount = 0, within = 0;
        for (const Truth& truth : kCases)
            for (bool productCard : {true, false})
                for (bool baseline : {true, false})
                    for (int seed = 1; seed <= seeds; ++seed) {
                        const std::string deck =
                            MakeDeck(truth, baseline, productCard, noise, static_cast<unsigned>(seed * 7919));
                        ReadOutcome in = ReadDataSet(deck);
                        if (!in.set) return 2;
                        const SetAnalysis sa = AnalyseDataSet(std::move(*in.set));
                        const Analysis& an = sa.analysis;
                        ++runs;
                        std::printf("%-15s %s %s noise %.0e seed %2d :", truth.name, productCard ? "card" : "unit",
                                    baseline ? "base" : "nobs", noise, seed);
                        if (an.ranking.empty()) {
                            std::printf(" none\n");
                            continue;
                        }
                        const Fit& f = an.fits[static_cast<std::size_t>(an.ranking.front() - 1)];
                        std::printf(" %d |", f.n);
                        for (const Component& c : f.comps) std::printf(" %.6e", c.lambda);
                        std::printf(" |");
                        for (const Component& c : f.comps) std::printf(" %.6e", c.alpha);
                        std::printf(" | punc %.3f | ranking", f.punc);
                        for (int n : an.ranking) std::printf(" %d", n);
                        std::printf(" pbest %.3f\n", an.pBest);
                        const std::size_t m = truth.amps.size();
                        if (f.comps.size() != m) continue;
                        ++rightCount;
                        bool ok = true;
                        for (std::size_t j = 0; j < m; ++j) {
                            const double rate = 1.0 / truth.taus[m - 1 - j], amp = truth.amps[m - 1 - j];
                            ok = ok && std::abs(f.comps[j].lambda - rate) <= 0.02 * rate &&
                                 std::abs(f.comps[j].alpha - amp) <= 0.02;
                        }
                        within += ok;
                    }
        std::printf("TALLY noise %.0e: %d runs, true count %d, within 2%%/0.02 %d\n", noise, runs, rightCount, within);
    }
    return 0;
}
