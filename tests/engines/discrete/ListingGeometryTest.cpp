#include "discrete/DeckReader.h"
#include "discrete/ExpFit.h"
#include "discrete/Listing.h"

#include "OffsetReader.h"
#include "base/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fluvena::discrete {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The reader must see in the reference listings what they print, so that
// reading the engine's listing with it checks the engine's geometry.
TEST(ListingGeometry, OffsetReaderReadsTheReferenceListings) {
    const std::string bimodal = test::ToCrLf(Slurp(std::string(FLUVENA_TEST_DATA) + "/bimodal.discrete.out"));
    test::ReadListing r = test::ReadByOffsets(bimodal);
    ASSERT_FALSE(r.truncated);
    ASSERT_EQ(r.solutions.size(), 3u);
    EXPECT_FALSE(r.uncertain);
    EXPECT_EQ(r.solutions[0].count, 2);
    EXPECT_DOUBLE_EQ(r.solutions[0].comps[0].amplitude, 0.3991);
    EXPECT_DOUBLE_EQ(r.solutions[0].comps[0].amplitudePercent, 0.913);
    EXPECT_DOUBLE_EQ(r.solutions[0].comps[1].rate, 0.09945);
    EXPECT_DOUBLE_EQ(r.solutions[0].comps[1].ratePercent, 2.238);
    EXPECT_DOUBLE_EQ(r.solutions[0].baseline, -4.214e-4);
    EXPECT_DOUBLE_EQ(r.solutions[0].punc, 0.166);
    EXPECT_EQ(r.solutions[1].count, 3);  // rows with the EXACT note
    EXPECT_DOUBLE_EQ(r.solutions[1].comps[2].rate, 0.1005);
    EXPECT_DOUBLE_EQ(r.solutions[1].baseline, -4.506e-4);
    EXPECT_DOUBLE_EQ(r.solutions[2].baseline, 4.635e-4);

    const std::string lognormal = test::ToCrLf(Slurp(std::string(FLUVENA_TEST_DATA) + "/lognormal.discrete.out"));
    r = test::ReadByOffsets(lognormal);
    ASSERT_EQ(r.solutions.size(), 4u);
    EXPECT_TRUE(r.uncertain);
    EXPECT_EQ(r.solutions[0].count, 4);
    EXPECT_DOUBLE_EQ(r.solutions[0].comps[3].amplitudePercent, 164.008);
    EXPECT_DOUBLE_EQ(r.solutions[3].punc, 0.0);
}

TEST(ListingGeometry, RowLengthsAndSignColumn) {
    Component c;
    c.alpha = -0.25;
    c.alphaErr = 0.0123;
    c.lambda = 3.5e-3;
    c.lambdaErr = 1e-4;
    c.start = 3e-3;
    const std::string row = ComponentRow(c);
    EXPECT_EQ(row.size(), 89u);
    EXPECT_EQ(row.substr(2, 10), "-2.500E-01");
    EXPECT_EQ(row.substr(3 + 21, 8), "   4.920");
    EXPECT_EQ(row.substr(3 + 37, 9), "3.500E-03");
    EXPECT_EQ(row.substr(3 + 58, 8), "   2.857");
    c.startFromPeak = false;
    const std::string noted = ComponentRow(c);
    EXPECT_EQ(noted.size(), 128u);
    EXPECT_NE(noted.find("EXACT"), std::string::npos);
    EXPECT_EQ(ComponentRow(Component{}).find("EXACT"), std::string::npos);
    EXPECT_EQ(BaselineRow(-1e-120, 1.0).substr(2, 10), "-1.00E-120");
}

TEST(ListingGeometry, PercentFieldKeepsItsWidthForAnyValue) {
    for (double p : {0.0, 0.0004, 1.5, 9999.999, 12345.678, 99999.99, 1.234e7, 5e12, 1e200,
                     std::numeric_limits<double>::infinity()}) {
        const std::string s = FormatPercent(p);
        EXPECT_EQ(s.size(), 8u) << p;
        if (p < 1e99) {
            EXPECT_NEAR(Number(s), p, std::max(5e-4, p * 5e-3)) << p;
        }
    }
    EXPECT_EQ(FormatPercent(-0.0), "   0.000");
}

// Synthetic deck in the product's format (values rounded to three digits).
std::string SyntheticDeck(const std::string& card2, const std::vector<double>& amps, const std::vector<double>& rates,
                          double base, double noise, unsigned seed, int n = 80) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, noise);
    std::string d = "nazwa.in\n" + card2 + "\n" + std::to_string(n) + "\n";
    std::vector<double> t(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) t[static_cast<std::size_t>(k)] = 0.5 * std::pow(1.1, k);
    for (double x : t) d += FormatFloat(x, Pattern::E2, '.') + "\n";
    for (double x : t) {
        double y = base + gauss(rng);
        for (std::size_t j = 0; j < amps.size(); ++j) y += amps[j] * std::exp(-rates[j] * x);
        d += FormatFloat(y, Pattern::E2, '.') + "\n";
    }
    return d;
}

double Pct(double v, double e) { return v != 0 ? 100 * e / std::abs(v) : 0.0; }

// The product's reading of the listing gives back the numbers the engine
// computed, to the printed precision, for every solution it lists.
void ExpectRoundTrip(const std::string& deck) {
    const std::string listing = test::ToCrLf(RunDeck(deck));
    const test::ReadListing read = test::ReadByOffsets(listing);
    ReadOutcome in = ReadDataSet(deck);
    ASSERT_TRUE(in.set);
    ASSERT_EQ(in.set->iwt, 1) << "the comparison recomputes with unit weights";
    FitOptions opt;
    opt.baseline = !in.set->sw[kNobase];
    opt.nonneg = in.set->sw[kNoneg];
    opt.maxComponents = in.set->nlammx;
    opt.tries = in.set->mtry;
    const Analysis an = AnalyseDecay(in.set->t, in.set->y, std::vector<double>(in.set->t.size(), 1.0), opt);
    ASSERT_FALSE(read.truncated);
    ASSERT_TRUE(read.table);
    ASSERT_EQ(read.solutions.size(), an.ranking.size());
    EXPECT_EQ(read.uncertain, an.pBest < 0.95);
    auto near = [](double got, double want) { EXPECT_NEAR(got, want, 5.01e-4 * std::abs(want) + 1e-300); };
    for (std::size_t s = 0; s < an.ranking.size(); ++s) {
        const Fit& f = an.fits[static_cast<std::size_t>(an.ranking[s] - 1)];
        const test::ReadSolution& r = read.solutions[s];
        ASSERT_EQ(r.count, f.n);
        for (int j = 0; j < f.n; ++j) {
            const Component& c = f.comps[static_cast<std::size_t>(j)];
            near(r.comps[j].amplitude, c.alpha);
            near(r.comps[j].rate, c.lambda);
            EXPECT_NEAR(r.comps[j].amplitudePercent, Pct(c.alpha, c.alphaErr),
                        5.01e-4 + 5e-3 * Pct(c.alpha, c.alphaErr) * (Pct(c.alpha, c.alphaErr) >= 1e4));
            EXPECT_NEAR(r.comps[j].ratePercent, Pct(c.lambda, c.lambdaErr),
                        5.01e-4 + 5e-3 * Pct(c.lambda, c.lambdaErr) * (Pct(c.lambda, c.lambdaErr) >= 1e4));
        }
        near(r.baseline, f.baseline);
        EXPECT_NEAR(r.punc, f.punc, 5.01e-4);
    }
}

TEST(ListingGeometry, RoundTripTwoComponentsNegativeBaseline) {
    ExpectRoundTrip(SyntheticDeck("TFFTFFTTF  4  1  5", {0.4, 0.6}, {0.1, 0.005}, -0.004, 1e-3, 1));
}

TEST(ListingGeometry, RoundTripNegativeAmplitudeWithoutNoneg) {
    ExpectRoundTrip(SyntheticDeck("TFFFFFFFF  3  1  5", {1.0, -0.3}, {0.02, 0.2}, 0.01, 5e-4, 2));
}

TEST(ListingGeometry, RoundTripWithoutBaselineAndManyComponents) {
    ExpectRoundTrip(SyntheticDeck("TFTFFFTFF  6  1  8", {0.3, 0.4, 0.3}, {0.5, 0.025, 0.0011}, 0.0, 3e-3, 3));
}

TEST(ListingGeometry, RoundTripEveryPrintSwitch) {
    // The optional sections must not disturb the summary's geometry.
    ExpectRoundTrip(SyntheticDeck("TFFTTTTTT  3  1  4", {0.7, 0.3}, {0.05, 0.004}, 0.002, 2e-3, 4));
}

TEST(ListingGeometry, NoiseFreeDataGiveAListing) {
    ExpectRoundTrip(SyntheticDeck("TFFTFFFFF  2  1  3", {1.0}, {0.1}, 0.0, 0.0, 5));
}

TEST(ListingGeometry, ReferenceDecksGiveReadableListings) {
    for (const char* name : {"bimodal", "lognormal"}) {
        const std::string deck = Slurp(std::string(FLUVENA_TEST_DATA) + "/" + name + ".discrete.in");
        const test::ReadListing r = test::ReadByOffsets(test::ToCrLf(RunDeck(deck)));
        ASSERT_FALSE(r.truncated) << name;
        ASSERT_FALSE(r.solutions.empty()) << name;
    }
    // The bimodal data are two exponentials: the reference finds 4.961E-03 and 9.945E-02.
    const std::string deck = Slurp(std::string(FLUVENA_TEST_DATA) + "/bimodal.discrete.in");
    const test::ReadListing r = test::ReadByOffsets(test::ToCrLf(RunDeck(deck)));
    ASSERT_EQ(r.solutions[0].count, 2);
    EXPECT_NEAR(r.solutions[0].comps[0].rate, 4.961e-3, 0.02 * 4.961e-3);
    EXPECT_NEAR(r.solutions[0].comps[1].rate, 9.945e-2, 0.02 * 9.945e-2);
    EXPECT_NEAR(r.solutions[0].comps[0].amplitude, 0.3991, 0.02);
    EXPECT_NEAR(r.solutions[0].comps[1].amplitude, 0.6008, 0.02);
}

}  // namespace
}  // namespace fluvena::discrete
