#pragma once
// Between the intensity correlation a correlator measures and the field
// correlation g1 the decay analyses need: the Siegert relation
// g2(t) = B (1 + beta g1(t)^2), here in its normalised form
// g2 - 1 = beta g1^2 (Siegert 1943; Berne & Pecora, Dynamic Light Scattering,
// 1976). Every point maps to one point: none is dropped, none becomes NaN.
#include "base/Outcome.h"
#include "physics/Sample.h"

#include <optional>
#include <span>
#include <vector>

namespace fluvena::physics {

// The tail baseline: the mean of the last 10 % of the points (at least one).
Outcome<double> TailBaseline(std::span<const double> y);

// The baseline B of g2 data as the parameters ask for it: p.baseline, or the
// tail baseline of y.
Outcome<double> BaselineOf(std::span<const double> y, const SampleParameters& p);

// g1 from data of the given kind with the signed square root, which keeps
// the noise of the tail symmetric around zero:
//   g2-1: g1 = sgn(y) sqrt(|y| / beta);  g2: g1 = sgn(y - B) sqrt(|y - B| / beta);
//   g1: the values unchanged (beta and B unused).
// Fails on a beta that is not a positive number, a B that is not finite, or a
// point that is not finite.
Outcome<std::vector<double>> FieldCorrelation(std::span<const double> y, DataKind kind, double beta, double baseline = 1.0);

// The data as g2-1 (what the cumulant fit takes): g2-1 unchanged, g2 -> y - B,
// g1 -> sgn(g1) g1^2 (the inverse of the signed square root with beta = 1, so a
// negative g1 of the noisy tail stays negative rather than becoming a false
// positive correlation).
// The forward relation for a fit: the analyses fit g1, and over g2 kinds the
// fit is shown and exported in the data's own terms,
//   y = B + beta g1 |g1|   (B the baseline taken off g2 data, 0 for g2 - 1),
// the signed square inverted as FieldCorrelation takes it. Without a beta (g1
// data) the fit is returned unchanged.
std::vector<double> FitInDataTerms(std::span<const double> g1Fit, const std::optional<double>& beta, double baseline);

Outcome<std::vector<double>> IntensityCorrelation(std::span<const double> y, DataKind kind, double baseline = 1.0);

}  // namespace fluvena::physics
