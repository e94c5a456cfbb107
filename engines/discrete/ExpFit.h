#pragma once
// Weighted least-squares fits of sums of exponentials,
//   y(t) = sum_j alpha_j exp(-lambda_j t) + alpha_0,
//   min chi^2 = sum_k w_k (y_k - y(t_k))^2,
// for every number of components n from 1 to a maximum, started from the
// peaks of a non-negative rate spectrum (min ||W^1/2 (E x - y)||, x >= 0, on a
// log-spaced rate grid), ranked by F-tests between component counts,
//   F = ((chi^2_n - chi^2_m) / (P_m - P_n)) / (chi^2_m / (N - P_m)),  m > n,
// with a test of the residuals for serial correlation. Standard errors are
// those of the linearised problem, cov = s^2 (J^T J)^-1, s^2 = chi^2 / (N - P).
#include "common/Statistics.h"

#include <Eigen/Dense>

#include <array>
#include <string>
#include <vector>

namespace fluvena::discrete {

struct FitOptions {
    bool baseline = true;  // alpha_0 is fitted (false: held at 0)
    bool nonneg = false;   // alpha_j >= 0 for j >= 1
    int maxComponents = 1;
    int tries = 1;           // starting sets per component count
    int maxIterations = 100; // Levenberg-Marquardt steps per starting set
};

struct Component {
    double alpha = 0, alphaErr = 0;
    double lambda = 0, lambdaErr = 0;
    double start = 0;            // starting rate of the fit
    bool startFromPeak = true;   // the start was a peak of the rate spectrum
};

// One accepted Levenberg-Marquardt step, in the data's units.
struct Iteration {
    double chi2 = 0;
    double damping = 0;
    double baseline = 0;
    std::vector<double> alpha, lambda;
};

struct Fit {
    int n = 0;                  // components
    int parameters = 0;         // 2n, plus one with a baseline
    std::vector<Component> comps;  // by increasing rate
    double baseline = 0, baselineErr = 0;
    double chi2 = 0;            // sum of w (y - fit)^2 (infinite when beyond double, for huge ordinates)
    double scaledChi2 = 0;      // the same with the ordinates divided by the largest: what the F-tests use
    double sigma = 0;           // sqrt(chi2 / (N - parameters)): std. dev. of unit weight
    int iterations = 0;
    int tries = 0;              // starting sets fitted
    bool converged = false;
    bool covarianceOk = false;
    bool meaningful = false;
    std::string whyNot;         // when not meaningful
    Eigen::MatrixXd correlation;  // order: lambda_1..n, alpha_1..n, baseline
    std::vector<Iteration> history;
    std::vector<double> fitted;     // model at every abscissa
    std::vector<double> residuals;  // sqrt(w) (y - fit)
    std::array<double, engine::kSerialLags> lagProb{};  // per lag, see engine::TestSerialCorrelation
    double punc = 0;
};

struct Spectrum {
    std::vector<double> rates, amplitudes;  // the non-negative inversion on a rate grid
    std::vector<double> peakRates, peakAmplitudes;  // clusters, largest first
};

struct Analysis {
    double lambdaMin = 0, lambdaMax = 0;  // rates are held between these
    Spectrum spectrum;
    std::vector<Fit> fits;               // fits[n - 1]
    Eigen::MatrixXd pBetter;             // pBetter(m-1, n-1): P(fit m is really better than fit n), m > n
    std::vector<int> ranking;            // component counts of the meaningful fits, best first
    double pBest = 1;                    // approximate probability that the best is really best
};

// Weights are inverse variances up to a common factor; every weight must be
// positive and finite. t and y finite, of equal size, at least 2*max+3 long.
Analysis AnalyseDecay(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
                      const FitOptions& options);

}  // namespace fluvena::discrete
