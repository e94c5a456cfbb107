// The listing as the product reads it. The contract with the product: the
// deck the product builds goes through the engine, and the product's listing
// parser reads back, for every listed solution, the numbers the engine
// computed, to the printed precision; and the listing's fields keep their
// width and stay apart whatever the values.
#include "ReadBack.h"
#include "base/MemoText.h"
#include "base/Text.h"
#include "common/FortranNumbers.h"
#include "discrete/DiscreteDeck.h"
#include "discrete/ExpFit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace fluvena::discrete {
namespace {

struct Case {
    const char* name;
    DiscreteSwitches sw;  // LAST REGINT NOBASE NONEG PRY PRPREL PRFINL PLOTRS REPEAT
    int nlammx, iwt, mtry;
    std::vector<double> amps, rates;
    double base, noise;
    bool evenTimes;
    // Layout features the case must exercise (deterministic for its seed).
    bool negativeBaseline = false, negativeAmplitude = false, exactRows = false;
};

// The points a user selects (x, then y): a part of those measured.
std::vector<double> Loaded(const Case& c, std::vector<double>& y) {
    std::vector<double> x;
    std::mt19937 rng(11);
    std::normal_distribution<double> gauss(0.0, c.noise);
    for (int k = 0; k < 90; ++k) {
        const double t = c.evenTimes ? 2.0 * (k + 1) : 0.4 * std::pow(1.09, k);
        double v = c.base + gauss(rng);
        for (std::size_t j = 0; j < c.amps.size(); ++j) v += c.amps[j] * std::exp(-c.rates[j] * t);
        if (k >= 4 && k <= 85) x.push_back(t), y.push_back(v);
    }
    return x;
}

class ProductRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(ProductRoundTrip, ParserReadsBackWhatTheEngineComputed) {
    const Case& c = GetParam();
    std::vector<double> y;
    const std::vector<double> x = Loaded(c, y);
    const std::string deck = FileText(BuildDiscreteDeck(DiscreteRequest{c.nlammx, c.iwt, c.mtry, c.sw}, x, y));
    const std::string listing = test::ToCrLf(RunDeck(deck));  // as the product normalises it
    ReadOutcome in = ReadDataSet(deck);
    ASSERT_TRUE(in.set);
    const Analysis an = AnalyseDataSet(*in.set).analysis;
    const DiscreteListing parse = ParseDiscreteListing(listing, x, y);
    ASSERT_EQ(parse.status, DiscreteListing::Status::Ok) << parse.reason;
    ASSERT_EQ(parse.solutions.size(), an.ranking.size());
    ASSERT_FALSE(an.ranking.empty());
    EXPECT_EQ(parse.uncertain, an.pBest < 0.95);
    auto same = [](double got, double want, const char* what) {
        EXPECT_NEAR(got, want, 5.01e-4 * std::abs(want) + 1e-300) << what;
    };
    auto pct = [](double v, double e) { return v != 0 ? 100 * e / std::abs(v) : 0.0; };
    for (std::size_t s = 0; s < an.ranking.size(); ++s) {
        const Fit& f = an.fits[static_cast<std::size_t>(an.ranking[s] - 1)];
        const DiscreteSolution& r = parse.solutions[s];
        ASSERT_EQ(r.components.size(), static_cast<std::size_t>(f.n)) << "solution " << s;
        for (std::size_t j = 0; j < r.components.size(); ++j) {
            const Component& comp = f.comps[j];
            const fluvena::Component& read = r.components[j];
            same(read.amplitude, comp.alpha, "amplitude");
            same(read.rate, comp.lambda, "rate");
            // The product's error columns are the PERCENT columns.
            const double pa = pct(comp.alpha, comp.alphaErr), pr = pct(comp.lambda, comp.lambdaErr);
            EXPECT_NEAR(read.amplitudeErr, pa, 5.01e-4 + (pa >= 1e4 ? 5e-3 * pa : 0.0));
            EXPECT_NEAR(read.rateErr, pr, 5.01e-4 + (pr >= 1e4 ? 5e-3 * pr : 0.0));
        }
        same(r.baseline, f.baseline, "baseline");
        EXPECT_NEAR(r.punc, f.punc, 5.01e-4);
    }
    const std::size_t summary = listing.find("1DISCRETE", 10);
    bool negativeAmplitude = false;
    for (const auto& r : parse.solutions)
        for (const auto& comp : r.components) negativeAmplitude |= comp.amplitude < 0;
    EXPECT_TRUE(!c.negativeBaseline || parse.solutions.front().baseline < 0);
    EXPECT_TRUE(!c.negativeAmplitude || negativeAmplitude);
    EXPECT_TRUE(!c.exactRows || listing.find("EXACT", summary) != std::string::npos);
    // The product's curve of the best solution follows the data.
    const DiscreteSolution& best = parse.solutions.front();
    double ss = 0;
    for (double res : best.residual) ss += res * res;
    EXPECT_LT(std::sqrt(ss / static_cast<double>(best.residual.size())), 3 * c.noise + 5e-3);
}

const DiscreteSwitches kDefault = kDefaultSwitches;
const DiscreteSwitches kAllOn = {true, true, false, true, true, true, true, true, true};
const DiscreteSwitches kFreeSign = {true, false, false, false, false, false, true, false, false};
const DiscreteSwitches kNoBase = {true, false, true, true, false, false, false, false, false};

INSTANTIATE_TEST_SUITE_P(
    Engine, ProductRoundTrip,
    ::testing::Values(
        Case{"DefaultCardTwoComponents", kDefault, 6, 2, 5, {0.4, 0.6}, {0.1, 0.005}, -0.004, 1e-3, false, true},
        Case{"UnitWeightsThreeComponents", kDefault, 4, 1, 5, {0.3, 0.4, 0.3}, {0.5, 0.05, 0.004}, 0.002, 5e-4, false, false, false, true},
        Case{"NegativeAmplitudeAllowed", kFreeSign, 3, 1, 5, {1.0, -0.3}, {0.02, 0.2}, 0.01, 5e-4, false, false, true, true},
        Case{"NoBaselineWeightsFromData", kNoBase, 3, -3, 4, {0.7, 0.3}, {0.05, 0.004}, 0.0, 1e-3, false},
        Case{"EverySwitchEvenTimesRepeat", kAllOn, 3, 3, 3, {0.5, 0.5}, {0.2, 0.025}, 0.01, 1e-3, true},
        Case{"CountingWeightsFromData", kDefault, 5, -2, 5, {0.8, 0.2}, {0.03, 0.3}, 0.001, 2e-3, false},
        Case{"NoiseFreeSingle", kFreeSign, 2, 1, 3, {1.0}, {0.1}, 0.0, 1e-12, false}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

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
