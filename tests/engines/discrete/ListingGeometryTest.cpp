#include "common/FortranNumbers.h"
#include "discrete/DeckReader.h"
#include "discrete/ExpFit.h"
#include "discrete/Listing.h"

#include "ReadBack.h"
#include "base/Text.h"
#include "base/NumberFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

namespace fluvena::discrete {
namespace {

// Every field keeps its width whatever the value: a tiny negative baseline
// keeps its sign and its three-digit exponent inside the window.
TEST(ListingGeometry, FieldsKeepTheirWidthForAnyValue) {
    for (double p : {0.0, 0.0004, 1.5, 9999.999, 12345.678, 99999.99, 1.234e7, 5e12, 1e200,
                     std::numeric_limits<double>::infinity()}) {
        const std::string s = FormatPercent(p);
        EXPECT_EQ(s.size(), 8u) << p;
        if (p < 1e99) {
            EXPECT_NEAR(Number(s), p, std::max(5e-4, p * 5e-3)) << p;
        }
    }
    EXPECT_EQ(FormatPercent(-0.0), "   0.000");
    EXPECT_EQ(BaselineRow(-1e-120, 1.0).substr(2, 10), "-1.00E-120");
}

// In the per-fit tables an iteration row holds ITR, SSQ, damping, baseline
// and a pair per component; a parameter row lambda +- error percent alpha
// +- error percent, each a word of its own.
void ExpectFieldsApart(const std::string& listing) {
    std::istringstream lines(listing);
    std::size_t expected = 0, rows = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (line.rfind(" ITR ", 0) == 0) expected = 4 + 2 * static_cast<std::size_t>(std::count(w.begin(), w.end(), "ALPHA"));
        else if (line.find("LAMBDA  +-  STD. ERROR") != std::string::npos) expected = 8;
        else if (w.empty()) expected = 0;
        else if (expected > 0 && ++rows) {
            EXPECT_EQ(w.size(), w[0] == "BASELINE" ? 5u : expected) << line;
            for (const std::string& x : w) {
                double v = 0;
                EXPECT_TRUE(x == "+-" || x == "BASELINE" || engine::ParseFortranNumber(x, v) ||
                            x.find_first_not_of('*') == std::string::npos) << line;
            }
            if (w[0] == "BASELINE") expected = 0;
        }
    }
    EXPECT_GT(rows, 20u);
}

// Ordinates 1e300 times larger, in the same digits: the analysis is the one
// at 1 with the amplitudes scaled, the summary reads back as computed, and
// every field of the per-fit tables stays apart from its neighbours.
TEST(ListingGeometry, HugeOrdinatesScaleAndKeepFieldsApart) {
    const std::string small =
        test::SyntheticDeck("TFFFFFTFF  3  1  5", test::Geometric(0.5, 1.1, 80), {1.0, -0.3}, {0.02, 0.2}, 0.01, 5e-4, 2);
    std::istringstream in(small);
    std::string huge;
    int number = 0;
    for (std::string line; std::getline(in, line); huge += line + "\n")
        if (++number > 3 + 80) line.replace(line.find('E') + 1, std::string::npos, std::to_string(std::stoi(line.substr(line.find('E') + 1)) + 300));
    const SetAnalysis a = AnalyseDataSet(*ReadDataSet(small).set), b = AnalyseDataSet(*ReadDataSet(huge).set);
    ASSERT_FALSE(b.analysis.ranking.empty());
    ASSERT_EQ(a.analysis.ranking, b.analysis.ranking);
    for (int n : a.analysis.ranking)
        for (int j = 0; j < n; ++j) {
            const Component &ca = a.analysis.fits[static_cast<std::size_t>(n - 1)].comps[static_cast<std::size_t>(j)],
                            &cb = b.analysis.fits[static_cast<std::size_t>(n - 1)].comps[static_cast<std::size_t>(j)];
            EXPECT_NEAR(cb.lambda, ca.lambda, 1e-6 * ca.lambda) << n;
            EXPECT_NEAR(cb.alpha, 1e300 * ca.alpha, 1e-6 * std::abs(cb.alpha)) << n;
        }
    // The summary as the product reads it (three-digit exponents leave three
    // significant digits in its fields).
    const std::string listing = RunDeck(huge);
    const DiscreteListing read = ParseDiscreteListing(test::ToCrLf(listing), b.set.t, b.set.y);
    ASSERT_EQ(read.solutions.size(), b.analysis.ranking.size()) << read.reason;
    const Fit& best = b.analysis.fits[static_cast<std::size_t>(b.analysis.ranking[0] - 1)];
    for (std::size_t j = 0; j < read.solutions[0].components.size(); ++j)
        EXPECT_NEAR(read.solutions[0].components[j].amplitude, best.comps[j].alpha, 5e-3 * std::abs(best.comps[j].alpha));
    EXPECT_NEAR(read.solutions[0].baseline, best.baseline, 5e-3 * std::abs(best.baseline));

    ExpectFieldsApart(listing);
    // Poorly determined fits of ordinary data print percents of thousands.
    ExpectFieldsApart(RunDeck(test::ReadTestFile("bimodal.discrete.in")));
}

}  // namespace
}  // namespace fluvena::discrete
