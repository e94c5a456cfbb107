#pragma once
// Synthetic decks in the product's format, and the engine's listing for a
// deck as the product reads it: line ends turned to CR LF, then the
// product's parser over the deck's own points.
#include "base/NumberFormat.h"
#include "discrete/DeckReader.h"
#include "discrete/DiscreteListing.h"
#include "discrete/Listing.h"
#include "../common/TestFiles.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace fluvena::discrete::test {

// The title, the switches and numbers card, N, the abscissae t, then the
// ordinates base + sum of amps[j] exp(-rates[j] t) + seeded Gaussian noise,
// every value rounded to three significant digits.
inline std::string SyntheticDeck(const std::string& card2, const std::vector<double>& t, const std::vector<double>& amps,
                                 const std::vector<double>& rates, double base = 0, double noise = 0, unsigned seed = 1) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss;
    std::string d = "nazwa.in\n" + card2 + "\n" + std::to_string(t.size()) + "\n";
    for (double x : t) d += FormatFloat(x, Pattern::E2, '.') + "\n";
    for (double x : t) {
        double y = base + noise * gauss(rng);
        for (std::size_t j = 0; j < amps.size(); ++j) y += amps[j] * std::exp(-rates[j] * x);
        d += FormatFloat(y, Pattern::E2, '.') + "\n";
    }
    return d;
}

// n times from first, each `factor` times the one before.
inline std::vector<double> Geometric(double first, double factor, int n) {
    std::vector<double> t;
    for (int k = 0; k < n; ++k) t.push_back(first * std::pow(factor, k));
    return t;
}

using engine_test::ReadFixture;
using engine_test::NormalizedText;

inline DiscreteListing ReadBack(const std::string& deck) {
    const ReadOutcome in = ReadDataSet(deck);
    const std::string listing = NormalizedText(RunDeck(deck));
    if (!in.set) return ParseDiscreteListing(listing, {}, {});
    return ParseDiscreteListing(listing, in.set->t, in.set->y);
}

}  // namespace fluvena::discrete::test
