#pragma once
// Least-squares weights for g1 obtained from intensity correlation data.
//
// A correlator's noise sigma_y is roughly constant in y = g2 - 1 over the
// decay (larger at short lags). Through g1 = sqrt(y / beta) it becomes
//   sigma_g1 = sigma_y / (2 beta g1)
// (first-order error propagation of the Siegert relation; Berne & Pecora,
// Dynamic Light Scattering, 1976): small where g1 is large, huge in the tail.
// A fit of g1 weighs each point by 1 / sigma_g1^2. Where g1 -> 0 the
// propagation fails (the square root is not smooth at 0): there the spread
// of g1 is of the order sqrt(sigma_y / beta), so g1^2 is replaced by
// g1^2 + sigma_y / beta, which keeps a small, finite weight in the tail:
//   w = 4 beta^2 (g1^2 + sigma_y / beta) / sigma_y^2.
#include <span>
#include <vector>

namespace fluvena::physics {

struct SiegertWeighting {
    std::vector<double> weights;  // 1 / sigma_g1^2, scaled to a largest of 1
    std::vector<double> sigmaY;   // the noise of y at every point, as estimated
    std::vector<double> smoothY;  // the smooth curve the noise was measured from
};

// The noise of y is measured from the data: y is fitted by a non-negative
// sum of exponentials on a grid of decay times plus a free constant (every
// g2 - 1 of a dilute sample is such a sum), and sigma_y at each point is the
// robust scale (1.4826 x the median absolute residual) of the residuals of
// its neighbourhood, so that noise that changes with the lag is followed.
// sigma_y is held at >= a quarter of its median so that no point gets an
// absurd weight. g1 in the formula is that of the smooth curve, so that a
// point's noise does not raise its own weight.
// t: lag times (any unit); y: g2 - 1 (g2 data less their baseline); beta > 0.
// Empty when the sizes differ or there are fewer than 8 points.
SiegertWeighting SiegertWeights(std::span<const double> t, std::span<const double> y, double beta);

}  // namespace fluvena::physics
