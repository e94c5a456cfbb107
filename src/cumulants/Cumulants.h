#pragma once
// Cumulant analysis of a correlation function (ISO 22412:2017; Koppel,
// J. Chem. Phys. 57 (1972) 4814): the intensity-weighted mean decay rate and
// the polydispersity index from the initial curvature of ln(g2 - 1), with the
// non-linear form of Frisken (Appl. Opt. 40 (2001) 4087) as an alternative.
// Pure: points in, result out.
#include "base/Outcome.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::cumulants {

enum class Method {
    Iso22412,  // weighted linear least squares on ln y
    Frisken,   // y = B + beta exp(-2 Gamma t) (1 + mu2 t^2 / 2 - mu3 t^3 / 6)^2, baseline B free
};

// "iso22412" / "frisken".
std::string_view MethodName(Method method);

struct IndexRange {
    std::size_t first = 0, last = 0;  // 0-based, both included
};

struct Options {
    int order = 2;  // 2, or 3 for the third cumulant too
    Method method = Method::Iso22412;
    // The default range runs from the first point up to, not including, the
    // first point where y < cutoff * (mean of the first three points). The
    // Frisken form, with its free baseline, wants the range to reach far down
    // the decay: at 0.1 its baseline is poorly determined and the mean rate
    // scatters several times more than the linear fit's; at 0.01 it does as
    // well as the linear fit (seeded synthetic g2-1 with beta 0.2, noise 1e-3).
    double cutoff = 0.1;
    std::optional<IndexRange> range;  // an explicit range instead
};

struct Result {
    double gammaMean = 0.0, gammaMeanErr = 0.0;  // 1/s
    double mu2 = 0.0, mu2Err = 0.0;              // 1/s^2
    double mu3 = 0.0, mu3Err = 0.0;              // 1/s^3, order 3 only
    double pdi = 0.0;  // mu2 / Gamma^2; 0 when mu2 < 0 (see note)
    double beta = 0.0, betaErr = 0.0;  // intercept of y at t = 0 (above the baseline)
    double baseline = 0.0, baselineErr = 0.0;  // Frisken's free baseline; 0 for ISO 22412
    std::size_t fitFirst = 0, fitLast = 0;     // the range, 0-based, both included
    int pointsUsed = 0;
    int pointsLeftOut = 0;  // points with y <= 0 in the range (ISO 22412: ln y undefined)
    int order = 2;
    Method method = Method::Iso22412;
    // The fitted curve and y minus it, at every point of the range (left-out
    // points included), in y's units.
    std::vector<double> fitted, residuals;
    std::string note;  // English sentences, "; "-separated; empty when nothing to say
};

// Whether a correlation decays clearly above its point scatter, from
// point `start` on: what the fit checks before it fits, and what a quality
// check calls "no decay". A decay is clear when intercept - tail exceeds five
// times the scatter.
struct DecaySignal {
    double intercept = 0.0;  // the mean of the first three points
    double tail = 0.0;       // the mean of the last 10 % of the points
    double noise = 0.0;      // the point scatter near the start
    bool Clear() const;
};
// y needs at least start + 3 points (else all is 0 and no decay is clear).
DecaySignal MeasureDecay(std::span<const double> y, std::size_t start);

// The cumulant fit of y (g2 - 1, or g1^2 for field correlation data) over lag
// times t in seconds (increasing). Fails, saying why, on unusable input or
// options, on a correlation without a decay clearly above its noise, on fewer
// than 5 points in the range, on a non-linear fit that does not converge and
// on a mean rate that is not positive.
Outcome<Result> Fit(std::span<const double> t, std::span<const double> y, const Options& options = {});

}  // namespace fluvena::cumulants
