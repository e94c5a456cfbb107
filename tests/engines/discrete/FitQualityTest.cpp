// Accuracy of the engine on synthetic decays: seeded noise, values rounded
// to three significant digits as the product's deck writes them, read back
// from the listing by the product's parser.
#include "ReadBack.h"
#include "base/NumberFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace fluvena::discrete {
namespace {

struct Truth {
    const char* name;
    std::vector<double> amps;
    std::vector<double> taus;  // decay times; rates are 1/tau
};

const Truth kCases[] = {
    {"one", {1.0}, {50}},
    {"two_10_200", {0.4, 0.6}, {10, 200}},
    {"two_20_100", {0.5, 0.5}, {20, 100}},
    {"three_2_40_900", {0.3, 0.4, 0.3}, {2, 40, 900}},
};

// A hundred times from a fifth of the shortest decay time to six times the
// longest; the baseline, when fitted, 0.01.
std::string MakeDeck(const Truth& truth, bool baseline, double noise, unsigned seed) {
    const double tMin = 0.2 * *std::min_element(truth.taus.begin(), truth.taus.end());
    const double tMax = 6.0 * *std::max_element(truth.taus.begin(), truth.taus.end());
    std::vector<double> rates;
    for (double tau : truth.taus) rates.push_back(1.0 / tau);
    const std::string card =
        std::string(baseline ? "TFFTFFFFF  " : "TFTTFFFFF  ") + std::to_string(truth.amps.size() + 1) + "  1  5";
    return test::SyntheticDeck(card, test::Geometric(tMin, std::pow(tMax / tMin, 1 / 99.0), 100), truth.amps, rates,
                               baseline ? 0.01 : 0.0, noise, seed);
}

struct Tally {
    int runs = 0, rightCount = 0, withinLimits = 0;
    int values = 0, covered1 = 0, covered2 = 0;
};

Tally Evaluate(double noise, int seeds, bool strict) {
    Tally tally;
    for (const Truth& truth : kCases)
        for (bool baseline : {true, false})
            for (int seed = 1; seed <= seeds; ++seed) {
                const DiscreteListing r =
                    test::ReadBack(MakeDeck(truth, baseline, noise, static_cast<unsigned>(seed * 7919)));
                ++tally.runs;
                const std::string what = std::string(truth.name) + (baseline ? " +base" : "") + " seed " +
                                         std::to_string(seed) + " noise " + std::to_string(noise);
                if (r.status != DiscreteListing::Status::Ok || r.solutions.empty()) {
                    ADD_FAILURE() << what << ": " << r.reason;
                    continue;
                }
                const std::vector<fluvena::Component>& best = r.solutions.front().components;
                const std::size_t m = truth.amps.size();
                if (best.size() != m) {
                    if (strict) ADD_FAILURE() << what << ": " << best.size() << " components";
                    continue;
                }
                ++tally.rightCount;
                bool within = true;
                for (std::size_t j = 0; j < m; ++j) {
                    // Components are listed by increasing rate: longest time first.
                    const double rate = 1.0 / truth.taus[m - 1 - j], amp = truth.amps[m - 1 - j];
                    const fluvena::Component& c = best[j];
                    const bool ok = std::abs(c.rate - rate) <= 0.02 * rate && std::abs(c.amplitude - amp) <= 0.02;
                    if (!ok && strict)
                        ADD_FAILURE() << what << " comp " << j << ": rate " << c.rate << " (" << rate << ") amp "
                                      << c.amplitude << " (" << amp << ")";
                    within = within && ok;
                    // The listed errors are percents of the values.
                    const double rateErr = c.rateErr * std::abs(c.rate) / 100;
                    const double ampErr = c.amplitudeErr * std::abs(c.amplitude) / 100;
                    tally.values += 2;
                    tally.covered1 += (std::abs(c.rate - rate) <= rateErr) + (std::abs(c.amplitude - amp) <= ampErr);
                    tally.covered2 += (std::abs(c.rate - rate) <= 2 * rateErr) + (std::abs(c.amplitude - amp) <= 2 * ampErr);
                }
                tally.withinLimits += within;
            }
    std::printf("noise %.0e: %d runs, true count %d, within 2%%/0.02 %d; errors cover the truth "
                "within 1 sigma %.0f%%, 2 sigma %.0f%% of %d values\n",
                noise, tally.runs, tally.rightCount, tally.withinLimits,
                100.0 * tally.covered1 / std::max(tally.values, 1), 100.0 * tally.covered2 / std::max(tally.values, 1),
                tally.values);
    return tally;
}

// Seeds per case; FLUVENA_QUALITY_SEEDS raises it for a longer measurement.
int Seeds(int fallback) {
    const char* env = std::getenv("FLUVENA_QUALITY_SEEDS");
    const int n = env ? std::atoi(env) : 0;
    return n > 0 ? n : fallback;
}

TEST(FitQuality, LowNoiseFindsEveryComponent) {
    for (double noise : {1e-4, 1e-3}) {
        const Tally t = Evaluate(noise, Seeds(3), true);  // every miss a failure of its own
        // Printed standard errors: about two thirds of the values within one
        // error, most within two.
        EXPECT_GE(t.covered2, 0.8 * t.values);
        EXPECT_GE(t.covered1, 0.5 * t.values);
    }
}

TEST(FitQuality, HighNoiseStillGivesSolutions) {
    const Tally t = Evaluate(1e-2, std::max(1, Seeds(2) / 2), false);
    EXPECT_GE(t.rightCount, 1);
}

}  // namespace
}  // namespace fluvena::discrete
