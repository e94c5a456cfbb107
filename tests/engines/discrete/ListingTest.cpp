// The engine's listings. The contract with the product: the deck the product
// builds goes through the engine, and the product's listing parser reads
// back, for every listed solution, the numbers the engine computed, to the
// printed precision; the fields keep their width and stay apart whatever the
// values. Against the reference program's listings of the fixture decks
// (tests/data/*.discrete.out): the best solution, and for the same component
// count every lag probability and PUNC.
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
#include <vector>

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
    const std::string listing = test::NormalizedText(RunDeck(deck));  // as the product normalises it
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
    // The best solution's heading states how many are listed: cut at any
    // line boundary of the summary before its closing blank lines, the
    // listing is refused.
    const std::size_t heading = listing.find("BEST SOLUTION", summary);
    EXPECT_NE(listing.substr(heading, listing.find('\n', heading) - heading).find("(" + std::to_string(an.ranking.size()) + " SOLUTIONS LISTED)"),
              std::string::npos);
    const std::size_t end = listing.find_last_not_of(" \r\n") + 1;
    for (std::size_t at = listing.find('\n', summary); at < end; at = listing.find('\n', at + 1))
        ASSERT_EQ(ParseDiscreteListing(listing.substr(0, at + 1), x, y).status, DiscreteListing::Status::Incomplete) << at;
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
        for (std::size_t j = 0; j < std::size_t(n); ++j) {
            const Component &ca = a.analysis.fits[std::size_t(n - 1)].comps[j],
                            &cb = b.analysis.fits[std::size_t(n - 1)].comps[j];
            EXPECT_NEAR(cb.lambda, ca.lambda, 1e-6 * ca.lambda) << n;
            EXPECT_NEAR(cb.alpha, 1e300 * ca.alpha, 1e-6 * std::abs(cb.alpha)) << n;
        }
    // The summary as the product reads it (three-digit exponents leave three
    // significant digits in its fields).
    const std::string listing = RunDeck(huge);
    const DiscreteListing read = ParseDiscreteListing(test::NormalizedText(listing), b.set.t, b.set.y);
    ASSERT_EQ(read.solutions.size(), b.analysis.ranking.size()) << read.reason;
    const Fit& best = b.analysis.fits[static_cast<std::size_t>(b.analysis.ranking[0] - 1)];
    for (std::size_t j = 0; j < read.solutions[0].components.size(); ++j)
        EXPECT_NEAR(read.solutions[0].components[j].amplitude, best.comps[j].alpha, 5e-3 * std::abs(best.comps[j].alpha));
    EXPECT_NEAR(read.solutions[0].baseline, best.baseline, 5e-3 * std::abs(best.baseline));

    ExpectFieldsApart(listing);
    // Poorly determined fits of ordinary data print percents of thousands.
    ExpectFieldsApart(RunDeck(test::ReadFixture("bimodal.discrete.in")));
}

std::vector<double> Numbers(const std::string& line) {
    std::vector<double> out;
    std::istringstream words(line);
    for (std::string w; words >> w;)
        if (double v = 0; engine::ParseFortranNumber(w, v)) out.push_back(v);
    return out;
}

// Each summary solution as {count, K = 1 ... 5, PUNC}.
std::vector<std::vector<double>> Summary(const std::string& listing) {
    std::vector<std::vector<double>> out;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t c = line.find(" COMPONENTS"); c != std::string::npos && line.find("BEST SOLUTION ") != std::string::npos)
            out.push_back({std::stod(line.substr(c - 2, 2))});
        else if (line.find("PROB. RESIDUALS UNCORRELATED") != std::string::npos && !out.empty())
            for (double v : Numbers(line.substr(0, line.find("WEIGHTED")) + " " + line.substr(line.find("PUNC =") + 6)))
                out.back().push_back(v);
    return out;
}

// The reference's final weights, 1 / (|curve| + ERRFIT), from what it prints
// of the curve for the raw data (a lambda of 0 for the baseline).
std::vector<double> ReferenceWeights(const std::string& listing, const std::vector<double>& t) {
    std::istringstream lines(listing.substr(listing.find("GENERATE WEIGHTS FOR RAW DATA")));
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(lines, line);
    const double errfit = Numbers(line.substr(line.rfind('=') + 1)).at(0);
    std::vector<double> curve(t.size(), 0.0), w;
    while (std::getline(lines, line) && Numbers(line).size() == 2)
        for (std::size_t k = 0; k < t.size(); ++k) curve[k] += Numbers(line)[1] * std::exp(-Numbers(line)[0] * t[k]);
    for (double c : curve) w.push_back(1.0 / (std::abs(c) + errfit));
    return w;
}

// The figure a listing prints as the best solution's STD. DEV. OF FIT.
double BestStdDev(const std::string& listing) {
    const std::size_t at = listing.find("STD. DEV. OF FIT =", listing.find("BEST SOLUTION "));
    return at == std::string::npos ? -1.0 : Numbers(listing.substr(at + 18, 12)).at(0);
}

TEST(ReferenceAgreement, BestSolutionAndLagProbabilitiesOfTheFixtures) {
    // The reference derives the uncertainty term of its weights (ERRFIT) in
    // a way of its own; where ours differs much (lognormal 5.9E-04 against
    // 3.7E-04, narrow 1.0E-03 against 7.5E-04) the weighted residuals and
    // their correlations differ too, and so does the standard deviation of
    // fit, sqrt(sum w r^2 / (N - NPAR)) with w = 1 / (|curve| + ERRFIT).
    // With the reference's weights the same fits give the same figures for
    // every fixture. The lognormal listing doubts its own best solution, and
    // the engine ranks another first.
    struct Fixture { const char* name; bool sameWeights, sameBest; };
    for (const Fixture f : {Fixture{"bimodal", true, true}, Fixture{"lognormal", false, false},
                            Fixture{"narrow", false, true}, Fixture{"negbase", true, true},
                            Fixture{"pairbase", true, true}, Fixture{"onesize", true, true},
                            Fixture{"closepair", false, true}, Fixture{"recomputed", false, false},
                            Fixture{"twosizes", false, true}}) {
        SCOPED_TRACE(f.name);
        const std::string deck = test::ReadFixture(std::string(f.name) + ".discrete.in"),
                          reference = test::ReadFixture(std::string(f.name) + ".discrete.out");
        const std::vector<std::vector<double>> ref = Summary(reference);
        ASSERT_FALSE(ref.empty());
        ReadOutcome in = ReadDataSet(deck);
        ASSERT_TRUE(in.set);
        const std::string listing = RunDeck(deck);
        if (f.sameBest) {
            const DiscreteListing want = ParseDiscreteListing(test::NormalizedText(reference), in.set->t, in.set->y),
                                  got = ParseDiscreteListing(test::NormalizedText(listing), in.set->t, in.set->y);
            ASSERT_FALSE(want.solutions.empty() || got.solutions.empty()) << want.reason << got.reason;
            const DiscreteSolution &w = want.solutions[0], &g = got.solutions[0];
            ASSERT_EQ(g.components.size(), w.components.size());
            for (std::size_t j = 0; j < w.components.size(); ++j) {
                EXPECT_NEAR(g.components[j].rate, w.components[j].rate, 0.01 * w.components[j].rate) << j;
                EXPECT_NEAR(g.components[j].amplitude, w.components[j].amplitude, 0.01) << j;
            }
            EXPECT_NEAR(g.baseline, w.baseline, 1e-5);
        }
        FitOptions opt;
        opt.baseline = !in.set->sw[kNobase];
        opt.nonneg = in.set->sw[kNoneg];
        opt.maxComponents = in.set->nlammx;
        opt.tries = in.set->mtry;
        const Analysis an = AnalyseDecay(in.set->t, in.set->y, ReferenceWeights(reference, in.set->t), opt);
        // The inversion that gives the starting rates spans the whole range of rates.
        EXPECT_NEAR(an.spectrum.rates.front() / an.lambdaMin, 1.0, 1e-9);
        EXPECT_NEAR(an.spectrum.rates.back() / an.lambdaMax, 1.0, 1e-9);
        const std::vector<std::vector<double>> listed = Summary(listing);
        int compared = 0;
        for (const std::vector<double>& r : ref) {
            const Fit& fit = an.fits.at(static_cast<std::size_t>(r[0] - 1));
            for (std::size_t i = 1; i < r.size(); ++i)
                EXPECT_NEAR(i <= fit.lagProb.size() ? fit.lagProb[i - 1] : fit.punc, r[i], 0.02) << r[0];
            for (const std::vector<double>& l : listed)  // the engine's own listing, weights and all
                if (f.sameWeights && l[0] == r[0] && ++compared) {
                    for (std::size_t i = 1; i < r.size(); ++i) EXPECT_NEAR(l[i], r[i], 0.05) << r[0];
                }
        }
        EXPECT_TRUE(compared > 0 || !f.sameWeights);
        const double stdDev = BestStdDev(reference);
        EXPECT_NEAR(an.fits.at(static_cast<std::size_t>(ref[0][0] - 1)).sigma / stdDev, 1.0, 0.01);
        if (f.sameWeights) {
            EXPECT_NEAR(BestStdDev(listing) / stdDev, 1.0, 0.05);
        }
    }
}

}  // namespace
}  // namespace fluvena::discrete
