#pragma once
// Whether a correlation looks like data of the kind its sample states. Read
// as the wrong kind, data still give numbers (g2 read as g2 - 1 gives an
// intercept of 1 + beta, g1 read as g2 - 1 one of exactly 1), and every size
// from them is wrong by a factor: the level the correlation starts from and
// the level it settles to tell the kinds apart.
#include "base/Outcome.h"
#include "physics/Sample.h"

#include <optional>
#include <span>

namespace fluvena {

class Measurement;

// The highest intercept g2 - 1 data reach: beta g1(0)^2 with the coherence
// factor beta at most 1, and a margin for noise and the fit's extrapolation.
inline constexpr double kMaxG2Minus1Intercept = 1.05;
// g2 - 1 data starting at 1 within this are g1 data: a correlator's beta
// stays below it.
inline constexpr double kUnitIntercept = 0.02;
// g1 data start at 1; a g1 intercept below 1 by more than this is beta of
// g2 - 1 data.
inline constexpr double kG1InterceptSpread = 0.1;
// The level the correlation settles to: g2 data settle near their baseline
// of 1, g2 - 1 and g1 data near 0. Above this it counts as a baseline.
inline constexpr double kBaselineLevel = 0.5;

struct KindDoubt {
    DataKind likely = DataKind::G1;  // the kind the points look like
    Failure reason;                  // why, with the figures it rests on
};

// tSeconds: the lag times in seconds (increasing); y: the points as read;
// kind: the kind they are taken for. Nothing when they look like that kind,
// or when they hold no decay to judge by (too few points, no clear decay:
// other checks say so).
std::optional<KindDoubt> DoubtDataKind(std::span<const double> tSeconds, std::span<const double> y, DataKind kind);

// The same for a measurement's range, with its sample's kind and time unit.
std::optional<KindDoubt> DoubtDataKind(const Measurement& m);

}  // namespace fluvena
