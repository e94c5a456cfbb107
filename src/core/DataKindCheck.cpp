#include "core/DataKindCheck.h"

#include "core/Measurement.h"
#include "cumulants/Cumulants.h"
#include "physics/NumberArg.h"

#include <cmath>
#include <vector>

namespace fluvena {

namespace {

using physics::NumberArg;

// The value at t = 0 of the cumulant fit (ISO 22412) of y: for g2 - 1 data
// the coherence factor beta, for g1^2 the square of g1's intercept. Without
// a fit, the mean of the first three points.
double Intercept(std::span<const double> t, std::span<const double> y)
{
    const Outcome<cumulants::Result> fit = cumulants::Fit(t, y);
    if (fit && std::isfinite(fit->beta)) return fit->beta;
    return cumulants::MeasureDecay(y, 0).intercept;
}

KindDoubt Doubt(DataKind likely, std::string pattern, std::vector<std::string> args)
{
    return KindDoubt{likely, Fail(std::move(pattern), std::move(args))};
}

}  // namespace

std::optional<KindDoubt> DoubtDataKind(std::span<const double> t, std::span<const double> y, DataKind kind)
{
    if (t.size() != y.size() || y.size() < 5) return std::nullopt;
    for (const double v : y)
        if (!std::isfinite(v)) return std::nullopt;
    // The level the points settle to, and whether they decay from where
    // they start clearly above their scatter.
    const cumulants::DecaySignal signal = cumulants::MeasureDecay(y, 0);
    if (!signal.Clear()) return std::nullopt;
    const double level = signal.tail;
    const bool settlesNearOne = level > kBaselineLevel;

    switch (kind) {
    case DataKind::G2Minus1: {
        const double beta = Intercept(t, y);
        if (beta > kMaxG2Minus1Intercept && settlesNearOne)
            return Doubt(DataKind::G2,
                         "the intercept %1 lies above %2 and the correlation settles at %3: g2 data with their "
                         "baseline, not g2 - 1",
                         {NumberArg(beta), NumberArg(kMaxG2Minus1Intercept), NumberArg(level)});
        if (beta > kMaxG2Minus1Intercept)
            return Doubt(DataKind::G1,
                         "the intercept %1 lies above %2, which g2 - 1 data (beta g1^2, beta at most 1) cannot "
                         "reach: a decay of another kind (g1)",
                         {NumberArg(beta), NumberArg(kMaxG2Minus1Intercept)});
        if (std::abs(beta - 1.0) <= kUnitIntercept)
            return Doubt(DataKind::G1,
                         "the intercept %1 is 1 within %2: g1 data start at 1, g2 - 1 data at the coherence "
                         "factor beta, below 1",
                         {NumberArg(beta), NumberArg(kUnitIntercept)});
        return std::nullopt;
    }
    case DataKind::G1: {
        if (settlesNearOne)
            return Doubt(DataKind::G2,
                         "the correlation settles at %1, not at 0: g2 data with their baseline, not g1",
                         {NumberArg(level)});
        std::vector<double> squared(y.begin(), y.end());
        for (double& v : squared) v = v * std::abs(v);
        const double start = std::sqrt(std::max(Intercept(t, squared), 0.0));
        if (start < 1.0 - kG1InterceptSpread)
            return Doubt(DataKind::G2Minus1,
                         "the g1 intercept %1 lies far below 1: g2 - 1 data, which start at the coherence factor "
                         "beta",
                         {NumberArg(start)});
        return std::nullopt;
    }
    case DataKind::G2: {
        if (settlesNearOne) return std::nullopt;
        const double start = Intercept(t, y);
        return Doubt(std::abs(start - 1.0) <= kUnitIntercept ? DataKind::G1 : DataKind::G2Minus1,
                     "the correlation settles at %1, not at a baseline near 1: these are not g2 data",
                     {NumberArg(level)});
    }
    }
    return std::nullopt;
}

std::optional<KindDoubt> DoubtDataKind(const Measurement& m)
{
    const PointRange r = m.Range();
    if (m.PointCount() == 0 || r.Count() <= 0) return std::nullopt;
    const auto first = static_cast<std::size_t>(r.first), count = static_cast<std::size_t>(r.Count());
    const double seconds = SecondsPer(m.Sample().timeUnit);
    std::vector<double> t(m.X().begin() + static_cast<std::ptrdiff_t>(first),
                          m.X().begin() + static_cast<std::ptrdiff_t>(first + count));
    for (double& v : t) v *= seconds;
    const std::span<const double> y = std::span<const double>(m.Y()).subspan(first, count);
    return DoubtDataKind(t, y, m.Sample().dataKind);
}

}  // namespace fluvena
