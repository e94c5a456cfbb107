#include "physics/SiegertWeights.h"

#include "common/Nnls.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace fluvena::physics {

namespace {

// Decay times of the smooth fit: this many, log-spaced from a tenth of the
// shortest positive lag to ten times the longest.
constexpr int kGridPoints = 48;
// Neighbours on each side whose residuals give a point's noise: at least
// kMinHalfWindow, else a sixteenth of the points.
constexpr std::size_t kMinHalfWindow = 6;
// The least noise a point is given, as a fraction of the median noise.
constexpr double kNoiseFloor = 0.25;
// 1 / Phi^-1(3/4): the median absolute deviation of normal noise times this
// is its standard deviation.
constexpr double kMadToSigma = 1.4826;

double Median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    double m = *mid;
    if (v.size() % 2 == 0) m = 0.5 * (m + *std::max_element(v.begin(), mid));
    return m;
}

// The non-negative sum of exponentials plus a constant of either sign that
// fits y best, at every point, and the number of terms it uses.
std::vector<double> SmoothFit(std::span<const double> t, std::span<const double> y, int& terms)
{
    const auto n = static_cast<Eigen::Index>(t.size());
    double shortest = HUGE_VAL, longest = 0.0;
    for (double v : t)
        if (v > 0.0) {
            shortest = std::min(shortest, v);
            longest = std::max(longest, v);
        }
    if (!(longest > 0.0)) shortest = longest = 1.0;
    const double lo = std::log(shortest / 10.0), hi = std::log(longest * 10.0);
    Eigen::MatrixXd a(n, kGridPoints + 2);
    for (int m = 0; m < kGridPoints; ++m) {
        const double tau = std::exp(lo + (hi - lo) * m / (kGridPoints - 1));
        for (Eigen::Index k = 0; k < n; ++k) a(k, m) = std::exp(-t[static_cast<std::size_t>(k)] / tau);
    }
    a.col(kGridPoints).setOnes();
    a.col(kGridPoints + 1).setConstant(-1.0);
    // Columns of unit length: the same problem, better conditioned steps.
    const Eigen::VectorXd norms = a.colwise().norm().transpose().cwiseMax(1e-300);
    a = a * norms.cwiseInverse().asDiagonal();
    const Eigen::Map<const Eigen::VectorXd> b(y.data(), n);
    const engine::NnlsResult r = engine::SolveNnls(a, b);
    terms = static_cast<int>(r.passive.size());
    const Eigen::VectorXd fit = a * r.x;
    return {fit.data(), fit.data() + n};
}

}  // namespace

SiegertWeighting SiegertWeights(std::span<const double> t, std::span<const double> y, double beta)
{
    SiegertWeighting out;
    const std::size_t n = y.size();
    if (t.size() != n || n < 8 || !(beta > 0.0) || !std::isfinite(beta)) return out;
    int terms = 0;
    out.smoothY = SmoothFit(t, y, terms);

    // Local robust scale of the residuals, corrected for the terms the fit
    // spent on them.
    std::vector<double> absResidual(n);
    for (std::size_t k = 0; k < n; ++k) absResidual[k] = std::fabs(y[k] - out.smoothY[k]);
    const std::size_t half = std::min((n - 1) / 2, std::max(kMinHalfWindow, n / 16));
    const double spent = n > static_cast<std::size_t>(terms) + 1
                             ? std::sqrt(double(n) / double(n - static_cast<std::size_t>(terms)))
                             : 1.0;
    out.sigmaY.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t first = std::min(k > half ? k - half : 0, n - 1 - 2 * half);
        out.sigmaY[k] = kMadToSigma * spent *
                        Median({absResidual.begin() + static_cast<std::ptrdiff_t>(first),
                                absResidual.begin() + static_cast<std::ptrdiff_t>(first + 2 * half + 1)});
    }
    double floor = kNoiseFloor * Median(out.sigmaY);
    if (!(floor > 0.0)) {
        // Noiseless data: equal noise, far below the signal.
        double top = 0.0;
        for (double v : y) top = std::max(top, std::fabs(v));
        floor = std::max(1e-9 * top, 1e-300);
    }
    for (double& s : out.sigmaY) s = std::max(s, floor);

    out.weights.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double s = out.sigmaY[k];
        const double g1Squared = std::max(out.smoothY[k], 0.0) / beta;
        out.weights[k] = 4.0 * beta * beta * (g1Squared + s / beta) / (s * s);
    }
    const double top = *std::max_element(out.weights.begin(), out.weights.end());
    for (double& w : out.weights) w /= top;
    return out;
}

}  // namespace fluvena::physics
