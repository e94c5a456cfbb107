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

TEST(Statistics, FTestsAtTabulatedCriticalValues) {
    // Upper critical values F(p; d1, d2) from the standard tables.
    struct Case { double f, d1, d2, p; };
    for (const Case& c : {Case{4.965, 1, 10, 0.95}, Case{3.493, 2, 20, 0.95}, Case{5.849, 2, 20, 0.99}})
        EXPECT_NEAR(FCdf(c.f, c.d1, c.d2), c.p, 1e-3) << c.f;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FCdf(-1.0, 2, 20), 0.0);
    EXPECT_EQ(FCdf(std::nan(""), 2, 20), 0.0);
    EXPECT_EQ(FCdf(inf, 2, 20), 1.0);
    // Two extra parameters lowering chi^2 by 2 x 3.493 against 20 residual
    // degrees of freedom of unit variance: the 95 % point.
    EXPECT_NEAR(ProbabilityBetter(20 + 2 * 3.493, 3, 20, 5, 25), 0.95, 1e-3);
    EXPECT_EQ(ProbabilityBetter(20, 3, 20, 5, 25), 0.0);   // no improvement
    EXPECT_EQ(ProbabilityBetter(30, 3, 20, 5, 5), 0.0);    // no residual degrees of freedom
    EXPECT_EQ(ProbabilityBetter(30, 3, 0, 5, 25), 1.0);    // the larger fit is exact
    EXPECT_EQ(ProbabilityBetter(inf, 3, 20, 5, 25), 0.0);
}

TEST(Statistics, SerialCorrelationOfConstructedResiduals) {
    // A pattern in either direction, or residuals stuck on one side of zero,
    // is improbable at every lag, whatever the residuals' scale.
    const std::vector<double (*)(int)> patterns = {
        [](int i) { return i % 2 ? -1.0 : 1.0; },
        [](int i) { return 1e300 * std::sin(2 * M_PI * i / 60.0); },
        [](int i) { return 2.0 + 0.01 * std::sin(i * 1.7); },
    };
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        std::vector<double> r;
        for (int i = 0; i < 100; ++i) r.push_back(patterns[p](i));
        EXPECT_LT(TestSerialCorrelation(r).punc, 0.01) << p;
    }
    // White noise: about 5 % of the lag probabilities below 0.05, PUNC
    // mostly far from 0 and 1.
    std::mt19937 rng(11);
    std::normal_distribution<double> g;
    int below = 0, middling = 0;
    for (int s = 0; s < 300; ++s) {
        std::vector<double> r;
        for (int i = 0; i < 100; ++i) r.push_back(g(rng));
        const SerialCorrelationTest t = TestSerialCorrelation(r);
        for (double p : t.lagProb) below += p < 0.05;
        middling += t.punc > 0.1 && t.punc < 0.9;
    }
    EXPECT_NEAR(below / (300.0 * kSerialLags), 0.05, 0.02);
    EXPECT_GT(middling, 225);
    // PUNC weighs lag K by 1/K and leaves out lags the points cannot reach.
    const SerialCorrelationTest shortOne = TestSerialCorrelation({0.5, -1.0, 0.25, 2.0});
    for (int k = 2; k < kSerialLags; ++k) EXPECT_EQ(shortOne.lagProb[static_cast<std::size_t>(k)], -1.0) << k;
    EXPECT_NEAR(shortOne.punc, (shortOne.lagProb[0] + shortOne.lagProb[1] / 2) / 1.5, 1e-12);
    for (double p : TestSerialCorrelation(std::vector<double>(20, 0.0)).lagProb) EXPECT_EQ(p, 1.0);
}

}  // namespace
}  // namespace fluvena::engine
