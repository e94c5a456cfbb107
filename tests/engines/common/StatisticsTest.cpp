// F-tests against published critical values of the F distribution; the
// serial-correlation test on constructed residuals.
#include "common/Statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace fluvena::engine {
namespace {

TEST(Statistics, FDistributionAtTabulatedCriticalValues) {
    // Upper critical values F(p; d1, d2) from the standard tables.
    struct Case {
        double f, d1, d2, p;
    };
    const Case cases[] = {{4.965, 1, 10, 0.95}, {3.493, 2, 20, 0.95}, {5.849, 2, 20, 0.99}, {2.305, 5, 100, 0.95}};
    for (const Case& c : cases) EXPECT_NEAR(FCdf(c.f, c.d1, c.d2), c.p, 1e-3) << c.f;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FCdf(0.0, 2, 20), 0.0);
    EXPECT_EQ(FCdf(-1.0, 2, 20), 0.0);
    EXPECT_EQ(FCdf(std::nan(""), 2, 20), 0.0);
    EXPECT_EQ(FCdf(inf, 2, 20), 1.0);
    EXPECT_EQ(FCdf(1.0, 0.0, 20), 1.0);  // no distribution: the cautious answer

    // Two extra parameters improving chi^2 by 2 x 3.493 over 20 residual
    // degrees of freedom of unit variance sit at the 95 % point.
    EXPECT_NEAR(ProbabilityBetter(20 + 2 * 3.493, 3, 20, 5, 25), 0.95, 1e-3);
    EXPECT_LT(ProbabilityBetter(20 + 2 * 2.0, 3, 20, 5, 25), ProbabilityBetter(20 + 2 * 3.0, 3, 20, 5, 25));
    EXPECT_EQ(ProbabilityBetter(20, 3, 20, 5, 25), 0.0);      // no improvement
    EXPECT_EQ(ProbabilityBetter(30, 3, 20, 5, 5), 0.0);       // no residual degrees of freedom
    EXPECT_EQ(ProbabilityBetter(30, 5, 20, 5, 25), 0.0);      // no extra parameter
    EXPECT_EQ(ProbabilityBetter(30, 3, 0, 5, 25), 1.0);       // the larger fit is exact
    EXPECT_EQ(ProbabilityBetter(inf, 3, 20, 5, 25), 0.0);
}

TEST(Statistics, SerialCorrelationOfConstructedResiduals) {
    // Residuals that follow a pattern, in either direction, are improbable
    // at every lag; so is a sequence stuck on one side of zero.
    struct Pattern {
        const char* name;
        double (*at)(int i);
    };
    const Pattern patterns[] = {
        {"alternating", [](int i) { return i % 2 ? -1.0 : 1.0; }},
        {"smooth", [](int i) { return std::sin(2 * M_PI * i / 60.0); }},
        {"offset", [](int i) { return 2.0 + 0.01 * std::sin(i * 1.7); }},
    };
    for (const Pattern& p : patterns) {
        std::vector<double> r;
        for (int i = 0; i < 100; ++i) r.push_back(p.at(i));
        const SerialCorrelationTest t = TestSerialCorrelation(r);
        EXPECT_LT(t.punc, 0.01) << p.name;
    }

    // White noise: each lag's probability is uniform, so about 5 % of them
    // fall below 0.05, and PUNC is usually far from 0 or 1.
    std::mt19937 rng(11);
    std::normal_distribution<double> g;
    int below = 0, tests = 0, middling = 0;
    const int seeds = 300;
    for (int s = 0; s < seeds; ++s) {
        std::vector<double> r;
        for (int i = 0; i < 100; ++i) r.push_back(g(rng));
        const SerialCorrelationTest t = TestSerialCorrelation(r);
        for (double p : t.lagProb) {
            below += p < 0.05;
            ++tests;
        }
        middling += t.punc > 0.1 && t.punc < 0.9;
    }
    EXPECT_NEAR(static_cast<double>(below) / tests, 0.05, 0.02);
    EXPECT_GT(middling, seeds * 3 / 4);

    // PUNC weighs lag K by 1/K; lags the points cannot reach are left out.
    const SerialCorrelationTest shortOne = TestSerialCorrelation({0.5, -1.0, 0.25, 2.0});
    for (int k = 2; k < kSerialLags; ++k) EXPECT_EQ(shortOne.lagProb[static_cast<std::size_t>(k)], -1.0) << k;
    EXPECT_NEAR(shortOne.punc, (shortOne.lagProb[0] + shortOne.lagProb[1] / 2) / 1.5, 1e-12);
    // Zero residuals show no correlation at all.
    const SerialCorrelationTest zero = TestSerialCorrelation(std::vector<double>(20, 0.0));
    for (double p : zero.lagProb) EXPECT_EQ(p, 1.0);
    EXPECT_EQ(TestSerialCorrelation({}).lagProb[0], -1.0);
}

}  // namespace
}  // namespace fluvena::engine
