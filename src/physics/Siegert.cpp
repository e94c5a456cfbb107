#include "physics/Siegert.h"
#include "physics/NumberArg.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace fluvena::physics {

namespace {

// The first point that is not a finite number, as a failure.
std::optional<Failure> NonFinite(std::span<const double> y)
{
    for (std::size_t i = 0; i < y.size(); ++i)
        if (!std::isfinite(y[i])) return Fail("point %1 of the correlation is not a number", {std::to_string(i + 1)});
    return std::nullopt;
}

// A converted series whose value ran out of range (a huge point, a tiny beta).
Outcome<std::vector<double>> Checked(std::vector<double> v)
{
    for (std::size_t i = 0; i < v.size(); ++i)
        if (!std::isfinite(v[i])) return Fail("point %1 of the correlation is out of range after the conversion", {std::to_string(i + 1)});
    return v;
}

double SignedRoot(double v) { return std::copysign(std::sqrt(std::fabs(v)), v); }

}  // namespace

Outcome<double> TailBaseline(std::span<const double> y)
{
    if (y.empty()) return Fail("a baseline needs at least one point");
    if (auto bad = NonFinite(y)) return *bad;
    const std::size_t n = std::max<std::size_t>(1, y.size() / 10);
    double sum = 0.0;
    for (std::size_t i = y.size() - n; i < y.size(); ++i) sum += y[i];
    return sum / double(n);
}

Outcome<double> BaselineOf(std::span<const double> y, const SampleParameters& p)
{
    if (p.baselineMode == BaselineMode::Tail) return TailBaseline(y);
    if (!std::isfinite(p.baseline)) return Fail("the baseline must be a number, not %1", {NumberArg(p.baseline)});
    return p.baseline;
}

Outcome<std::vector<double>> FieldCorrelation(std::span<const double> y, DataKind kind, double beta, double baseline)
{
    if (auto bad = NonFinite(y)) return *bad;
    std::vector<double> g1(y.begin(), y.end());
    if (kind == DataKind::G1) return g1;
    if (!std::isfinite(beta) || beta <= 0.0)
        return Fail("the coherence factor beta must be a positive number, not %1: the Siegert relation cannot give g1", {NumberArg(beta)});
    const double b = kind == DataKind::G2 ? baseline : 0.0;
    if (!std::isfinite(b)) return Fail("the baseline must be a number, not %1", {NumberArg(b)});
    for (double& v : g1) v = SignedRoot((v - b) / beta);
    return Checked(std::move(g1));
}

std::vector<double> FitInDataTerms(std::span<const double> g1Fit, const std::optional<double>& beta, double baseline)
{
    std::vector<double> out(g1Fit.begin(), g1Fit.end());
    if (!beta) return out;
    for (double& v : out) v = baseline + *beta * v * std::fabs(v);
    return out;
}

Outcome<std::vector<double>> IntensityCorrelation(std::span<const double> y, DataKind kind, double baseline)
{
    if (auto bad = NonFinite(y)) return *bad;
    std::vector<double> out(y.begin(), y.end());
    switch (kind) {
    case DataKind::G2Minus1: break;
    case DataKind::G2:
        if (!std::isfinite(baseline)) return Fail("the baseline must be a number, not %1", {NumberArg(baseline)});
        for (double& v : out) v -= baseline;
        break;
    case DataKind::G1:
        for (double& v : out) v = std::copysign(v * v, v);
        break;
    }
    return Checked(std::move(out));
}

}  // namespace fluvena::physics
