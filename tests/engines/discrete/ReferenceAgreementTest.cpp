// The engine against the reference program's listings of the fixture decks
// (tests/data/*.discrete.out): the best solution, and for the same component
// count every lag probability and PUNC.
#include "common/FortranNumbers.h"
#include "discrete/ExpFit.h"

#include "ReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace fluvena::discrete {
namespace {

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

TEST(ReferenceAgreement, BestSolutionAndLagProbabilitiesOfTheFixtures) {
    // The reference derives the uncertainty term of its weights (ERRFIT) in
    // a way of its own; where ours differs much (lognormal 5.9E-04 against
    // 3.7E-04, narrow 1.0E-03 against 7.5E-04) the weighted residuals and
    // their correlations differ too. With the reference's weights the same
    // fits give the same figures for every fixture. The lognormal listing
    // doubts its own best solution, and the engine ranks another first.
    struct Fixture {
        const char* name;
        bool sameWeights, sameBest;
    };
    for (const Fixture f : {Fixture{"bimodal", true, true}, Fixture{"lognormal", false, false},
                            Fixture{"narrow", false, true}, Fixture{"negbase", true, true},
                            Fixture{"pairbase", true, true}}) {
        SCOPED_TRACE(f.name);
        const std::string deck = test::ReadTestFile(std::string(f.name) + ".discrete.in"),
                          reference = test::ReadTestFile(std::string(f.name) + ".discrete.out");
        const std::vector<std::vector<double>> ref = Summary(reference);
        ASSERT_FALSE(ref.empty());
        ReadOutcome in = ReadDataSet(deck);
        ASSERT_TRUE(in.set);
        const std::string listing = RunDeck(deck);
        if (f.sameBest) {
            const DiscreteListing want = ParseDiscreteListing(test::ToCrLf(reference), in.set->t, in.set->y),
                                  got = ParseDiscreteListing(test::ToCrLf(listing), in.set->t, in.set->y);
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
        const std::vector<std::vector<double>> listed = Summary(listing);
        int compared = 0;
        for (const std::vector<double>& r : ref) {
            const Fit& fit = an.fits.at(static_cast<std::size_t>(r[0] - 1));
            std::vector<double> ours{r[0]};
            ours.insert(ours.end(), fit.lagProb.begin(), fit.lagProb.end());
            ours.push_back(fit.punc);
            for (std::size_t i = 1; i < r.size(); ++i) EXPECT_NEAR(ours[i], r[i], 0.02) << r[0];
            for (const std::vector<double>& l : listed)  // the engine's own listing, weights and all
                if (f.sameWeights && l[0] == r[0] && ++compared) {
                    for (std::size_t i = 1; i < r.size(); ++i) EXPECT_NEAR(l[i], r[i], 0.05) << r[0];
                }
        }
        EXPECT_TRUE(compared > 0 || !f.sameWeights);
    }
}

}  // namespace
}  // namespace fluvena::discrete
