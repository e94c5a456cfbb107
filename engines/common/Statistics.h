#pragma once
// Statistical tests the engines print in their listings: F-tests between
// nested least-squares fits and the test of the residuals for serial
// correlation.
#include <array>
#include <vector>

namespace fluvena::engine {

// The F distribution's cumulative probability at f with (d1, d2) degrees of
// freedom: 0 for f <= 0 or NaN, 1 for +infinity or where it cannot be
// evaluated, always within [0, 1].
double FCdf(double f, double d1, double d2);

// F-test between two fits of the same points: the probability that the fit
// with more parameters is really better, the F distribution's CDF at the
// improvement per extra parameter over the larger fit's variance per degree
// of freedom. 0 when either count of degrees of freedom is not positive.
double ProbabilityBetter(double chi2Small, int pSmall, double chi2Large, int pLarge, int points);

inline constexpr int kSerialLags = 5;

struct SerialCorrelationTest {
    // For lags K = 1 ... 5: the probability that residuals without serial
    // correlation give a lag-K autocorrelation as large as observed; -1 for
    // a lag too long for the points.
    std::array<double, kSerialLags> lagProb{};
    double punc = 1;  // the tested lags' probabilities averaged with weights 1/K
};

// The test of a sequence of (weighted) residuals.
SerialCorrelationTest TestSerialCorrelation(const std::vector<double>& residuals);

}  // namespace fluvena::engine
