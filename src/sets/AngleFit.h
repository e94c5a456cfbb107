#pragma once
// The angle dependence of a set of measurements and its extrapolation to
// q -> 0.
//
// For a dilute sample the mean decay rate grows with q^2 as
//     Gamma(q) = D_app(q) q^2,   D_app(q) = D0 (1 + C Rg^2 q^2 + ...)
// (Berne & Pecora, Dynamic Light Scattering, 1976, ch. 8; the q^2 term comes
// from the form factor and the polydispersity of particles that are not small
// against 1/q). A weighted straight-line fit of D_app = Gamma / q^2 against q^2
//     minimise  sum_i w_i (D_app,i - D0 - s q_i^2)^2,   w_i = 1 / sigma_i^2,
// gives D0 (the intercept) and the slope s, and the Stokes-Einstein relation
// gives the hydrodynamic radius at q -> 0, R_h0 = k_B T / (6 pi eta D0).
//
// sigma_i is the standard error of D_app,i: that of the mean rate (from
// repeats or the fit) divided by q^2. When some point has no error all points
// are weighted equally. The parameters' covariance is (X^T W X)^-1 scaled by
// the reduced chi^2 (so that errors that are right only up to a common factor
// still give honest standard errors); with two points it is not scaled.
#include "base/Outcome.h"

#include <span>
#include <vector>

namespace fluvena::sets {

struct AnglePoint {
    double q = 0.0;          // scattering vector, 1/m
    double gamma = 0.0;      // mean decay rate of g1, 1/s
    double gammaErr = 0.0;   // its standard error, 1/s (0: unknown)
    bool included = true;    // left out of the fit when false
};

struct AngleFit {
    double d0 = 0.0, d0Err = 0.0;        // m^2/s
    double slope = 0.0, slopeErr = 0.0;  // m^4/s (D_app per q^2)
    double covariance = 0.0;             // cov(D0, slope)
    double rSquared = 0.0;               // weighted coefficient of determination
    int points = 0;                      // included points in the fit
    double tQuantile = 0.0;              // Student's t at 97.5 %, points - 2 dof
    bool weighted = false;               // false: equal weights

    // D_app on the fitted line at q^2 and the half-width of its 95 %
    // confidence band there.
    double LineAt(double q2) const { return d0 + slope * q2; }
    double BandHalfWidthAt(double q2) const;
};

// The apparent diffusion coefficient Gamma / q^2 and its error.
double ApparentDiffusion(const AnglePoint& p);
double ApparentDiffusionErr(const AnglePoint& p);

// The fit over the included points. Fails with fewer than two included
// points, with fewer than two distinct angles, or with a non-positive q or
// rate among them.
Outcome<AngleFit> FitApparentDiffusion(std::span<const AnglePoint> points);

}  // namespace fluvena::sets
