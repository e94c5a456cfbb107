// F-tests against published critical values of the F distribution, and the
// serial-correlation test's handling of short and degenerate sequences.
#include "common/Statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

TEST(Statistics, SerialCorrelationOfShortAndDegenerateSequences) {
    const SerialCorrelationTest shortOne = TestSerialCorrelation({0.5, -1.0, 0.25, 2.0});
    EXPECT_GE(shortOne.lagProb[0], 0.0);
    EXPECT_GE(shortOne.lagProb[1], 0.0);
    for (int k = 2; k < kSerialLags; ++k) EXPECT_EQ(shortOne.lagProb[static_cast<std::size_t>(k)], -1.0) << k;
    // Zero residuals show no correlation at all.
    const SerialCorrelationTest zero = TestSerialCorrelation(std::vector<double>(20, 0.0));
    for (double p : zero.lagProb) EXPECT_EQ(p, 1.0);
    EXPECT_EQ(zero.punc, 1.0);
    EXPECT_EQ(TestSerialCorrelation({}).lagProb[0], -1.0);
}

}  // namespace
}  // namespace fluvena::engine
