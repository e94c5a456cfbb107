#include "cumulants/Cumulants.h"
#include "physics/NumberArg.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>

#include <algorithm>
#include <cmath>

namespace fluvena::cumulants {

namespace {

constexpr int kMinPoints = 5;
constexpr int kMaxIterations = 200;  // Levenberg-Marquardt steps
// A decay must lift the intercept this many noise deviations above the tail.
constexpr double kDecayToNoise = 5.0;
// Points from the start of the range over which the noise is estimated.
constexpr std::size_t kNoisePoints = 16;

using physics::NumberArg;

std::string Idx(std::size_t i) { return std::to_string(i + 1); }  // 1-based for the user

void AddNote(std::string& note, const std::string& sentence)
{
    if (!note.empty()) note += "; ";
    note += sentence;
}

double Median(std::vector<double> v)
{
    const auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    if (v.size() % 2) return *mid;
    return 0.5 * (*mid + *std::max_element(v.begin(), mid));
}

// Whether the correlation decays clearly above its noise, judged from the
// start of the range (see MeasureDecay).
std::optional<Failure> CheckDecay(std::span<const double> y, std::size_t start)
{
    const DecaySignal d = MeasureDecay(y, start);
    if (d.Clear()) return std::nullopt;
    return Fail("no decay: the correlation starts at %1 and ends at %2, which is not clearly apart for a point scatter of %3",
                {NumberArg(d.intercept), NumberArg(d.tail), NumberArg(d.noise)});
}

struct Linear {
    double lnBeta, gamma, mu2, mu3;
    Eigen::Vector4d err;  // of ln beta, Gamma, mu2, mu3
};

// ISO 22412 weighted linear least squares on ln y = ln beta - 2 Gamma t +
// mu2 t^2 (- mu3 t^3 / 3), weights y^2 (the variance of ln y is about
// var(y) / y^2). Times are scaled by the last lag so that the columns are of
// order one; the covariance is sigma^2 (A' W A)^-1 with sigma^2 the weighted
// residual sum over (points - parameters).
Outcome<Linear> FitLinear(const std::vector<double>& t, const std::vector<double>& y, int order, double scale)
{
    const int p = order + 1;
    const Eigen::Index n = Eigen::Index(t.size());
    Eigen::MatrixXd a(n, p);
    Eigen::VectorXd b(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        const double s = t[i] / scale, w = y[i];
        a(i, 0) = w;
        a(i, 1) = -2.0 * s * w;
        a(i, 2) = s * s * w;
        if (order == 3) a(i, 3) = -s * s * s / 3.0 * w;
        b(i) = std::log(y[i]) * w;
    }
    const auto qr = a.colPivHouseholderQr();
    if (qr.rank() < p) return Fail("the lag times of the fit range are too few distinct values to fit %1 cumulants", {std::to_string(order)});
    const Eigen::VectorXd c = qr.solve(b);
    const double sigma2 = (a * c - b).squaredNorm() / double(n - p);
    const Eigen::MatrixXd cov = (a.transpose() * a).ldlt().solve(Eigen::MatrixXd::Identity(p, p)) * sigma2;

    Linear r{c(0), c(1) / scale, c(2) / (scale * scale), order == 3 ? c(3) / (scale * scale * scale) : 0.0, Eigen::Vector4d::Zero()};
    for (int k = 0; k < p; ++k) r.err(k) = std::sqrt(std::max(0.0, cov(k, k))) / std::pow(scale, k);
    return r;
}

struct NonLinear {
    Eigen::VectorXd q, err;  // B, beta, Gamma, mu2 (, mu3) in scaled time
};

// Frisken (2001): y = B + beta exp(-2 Gamma s) (1 + mu2 s^2 / 2 - mu3 s^3 / 6)^2
// on scaled times s, unweighted (correlator noise near the start is about
// uniform): the residuals r_i = y_i - model(s_i) and their Jacobian for
// Eigen's Levenberg-Marquardt (More's MINPACK form of Marquardt, J. SIAM 11
// (1963) 431).
struct FriskenResiduals : Eigen::DenseFunctor<double> {
    FriskenResiduals(const std::vector<double>& s, const std::vector<double>& y, int parameters)
        : DenseFunctor<double>(parameters, int(s.size())), s_(s), y_(y) {}
    int operator()(const InputType& v, ValueType& r) const
    {
        for (Eigen::Index i = 0; i < values(); ++i) {
            const double si = s_[std::size_t(i)], e = std::exp(-2.0 * v(2) * si), poly = Poly(v, si);
            r(i) = y_[std::size_t(i)] - (v(0) + v(1) * e * poly * poly);
        }
        return 0;
    }
    // The derivatives of the residuals (minus those of the model).
    int df(const InputType& v, JacobianType& jac) const
    {
        for (Eigen::Index i = 0; i < values(); ++i) {
            const double si = s_[std::size_t(i)], e = std::exp(-2.0 * v(2) * si), poly = Poly(v, si);
            jac(i, 0) = -1.0;
            jac(i, 1) = -e * poly * poly;
            jac(i, 2) = 2.0 * si * v(1) * e * poly * poly;
            jac(i, 3) = -v(1) * e * poly * si * si;
            if (inputs() == 5) jac(i, 4) = v(1) * e * poly * si * si * si / 3.0;
        }
        return 0;
    }

private:
    double Poly(const InputType& v, double si) const
    {
        return 1.0 + v(3) * si * si / 2.0 - (inputs() == 5 ? v(4) * si * si * si / 6.0 : 0.0);
    }
    const std::vector<double>& s_;
    const std::vector<double>& y_;
};

// The fit from the linear fit's values with the baseline at 0; standard
// errors from (J^T J)^-1 times the residual variance.
Outcome<NonLinear> FitFrisken(const std::vector<double>& s, const std::vector<double>& y, Eigen::VectorXd q)
{
    const Eigen::Index n = Eigen::Index(s.size()), p = q.size();
    FriskenResiduals f(s, y, int(p));
    Eigen::LevenbergMarquardt<FriskenResiduals> lm(f);
    lm.setMaxfev(kMaxIterations * (int(p) + 1));
    const Eigen::LevenbergMarquardtSpace::Status status = lm.minimize(q);
    using Eigen::LevenbergMarquardtSpace::Status;
    if (status == Status::TooManyFunctionEvaluation || status == Status::ImproperInputParameters || !q.allFinite())
        return Fail("the non-linear fit did not converge in %1 iterations", {std::to_string(kMaxIterations)});

    Eigen::VectorXd res(n);
    Eigen::MatrixXd jac(n, p);
    f(q, res);
    f.df(q, jac);
    const double rss = res.squaredNorm();
    const Eigen::MatrixXd jtj = jac.transpose() * jac;
    const Eigen::MatrixXd cov = jtj.ldlt().solve(Eigen::MatrixXd::Identity(p, p)) * (rss / double(n - p));
    NonLinear r{q, Eigen::VectorXd(p)};
    for (Eigen::Index k = 0; k < p; ++k) r.err(k) = std::sqrt(std::max(0.0, cov(k, k)));
    return r;
}

std::optional<Failure> CheckInput(std::span<const double> t, std::span<const double> y, const Options& o)
{
    if (t.size() != y.size()) return Fail("%1 lag times for %2 correlation values", {std::to_string(t.size()), std::to_string(y.size())});
    if (o.order != 2 && o.order != 3) return Fail("the cumulant order must be 2 or 3, not %1", {std::to_string(o.order)});
    if (!std::isfinite(o.cutoff) || o.cutoff < 0.0 || o.cutoff >= 1.0)
        return Fail("the cut-off must lie from 0 up to, not including, 1, not %1", {NumberArg(o.cutoff)});
    if (t.size() < std::size_t(kMinPoints))
        return Fail("only %1 points: a cumulant fit needs at least %2", {std::to_string(t.size()), std::to_string(kMinPoints)});
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!std::isfinite(t[i]) || !std::isfinite(y[i])) return Fail("point %1 is not a number", {Idx(i)});
        if (t[i] < 0.0 || (i > 0 && t[i] <= t[i - 1])) return Fail("the lag times must be at least 0 and increase from point to point, point %1 does not", {Idx(i)});
    }
    if (o.range && (o.range->first > o.range->last || o.range->last >= t.size()))
        return Fail("the fit range from point %1 to %2 does not lie within the %3 points",
                    {Idx(o.range->first), Idx(o.range->last), std::to_string(t.size())});
    return std::nullopt;
}

}  // namespace

// The decay is the intercept estimate (mean of the first three points) minus
// the level of the tail (mean of the last 10 % of the points). The noise is
// the point scatter near the start, from second differences, which cancel a
// smooth curve to first order:
// sigma = 1.4826 median|y[i-1] - 2 y[i] + y[i+1]| / sqrt(6) (the median
// absolute deviation of independent normal errors). Flat noise, a flat line
// and a curve that has not started to fall all fail.
DecaySignal MeasureDecay(std::span<const double> y, std::size_t start)
{
    DecaySignal d;
    const std::size_t n = y.size();
    if (n < start + 3) return d;
    d.intercept = (y[start] + y[start + 1] + y[start + 2]) / 3.0;
    const std::size_t tailCount = std::max<std::size_t>(1, n / 10);
    for (std::size_t i = n - tailCount; i < n; ++i) d.tail += y[i];
    d.tail /= double(tailCount);

    const std::size_t end = std::min(n, start + kNoisePoints);
    std::vector<double> d2;
    for (std::size_t i = start + 1; i + 1 < end; ++i) d2.push_back(std::fabs(y[i - 1] - 2.0 * y[i] + y[i + 1]));
    // Rounding alone must not pass for a decay: the scatter is taken as at
    // least a millionth of the intercept.
    d.noise = std::max(d2.empty() ? 0.0 : 1.4826 * Median(d2) / std::sqrt(6.0), 1e-6 * std::fabs(d.intercept));
    return d;
}

bool DecaySignal::Clear() const
{
    const double decay = intercept - tail;
    return decay > 0.0 && decay > kDecayToNoise * noise;
}

std::string_view MethodName(Method method) { return method == Method::Frisken ? "frisken" : "iso22412"; }

Outcome<Result> Fit(std::span<const double> t, std::span<const double> y, const Options& options)
{
    if (auto bad = CheckInput(t, y, options)) return *bad;

    Result r;
    r.order = options.order;
    r.method = options.method;
    const int params = options.order + 1 + (options.method == Method::Frisken ? 1 : 0);
    const int needed = std::max(kMinPoints, params + 1);
    auto tooFew = [&](std::size_t count, std::size_t from, std::size_t to) {
        return Fail("only %1 usable points from point %2 to %3: a cumulant fit needs at least %4",
                    {std::to_string(count), Idx(from), Idx(to), std::to_string(needed)});
    };
    const std::size_t first = options.range ? options.range->first : 0;
    if (options.range && options.range->last - first + 1 < std::size_t(needed))
        return tooFew(options.range->last - first + 1, first, options.range->last);
    if (auto none = CheckDecay(y, first)) return *none;

    std::size_t last = y.size() - 1;
    if (options.range) {
        last = options.range->last;
    } else {
        const double limit = options.cutoff * (y[0] + y[1] + y[2]) / 3.0;
        const auto below = std::find_if(y.begin(), y.end(), [&](double v) { return v < limit; });
        if (below == y.begin()) return Fail("the first point already lies below the cut-off: no range to fit");
        if (below == y.end())
            AddNote(r.note, "the correlation stays above the cut-off: the range runs to the last point");
        else
            last = std::size_t(below - y.begin()) - 1;
    }
    r.fitFirst = first;
    r.fitLast = last;

    // Points the logarithm can take; the non-linear fit takes all of them.
    std::vector<double> tp, yp, ta, ya;
    for (std::size_t i = first; i <= last; ++i) {
        ta.push_back(t[i]);
        ya.push_back(y[i]);
        if (y[i] > 0.0) {
            tp.push_back(t[i]);
            yp.push_back(y[i]);
        }
    }
    if (tp.size() < std::size_t(needed)) return tooFew(tp.size(), first, last);

    const double scale = ta.back();  // > 0: at least 5 increasing lags from 0 up
    const auto lin = FitLinear(tp, yp, options.order, scale);
    if (!lin) return lin.failure();

    if (options.method == Method::Iso22412) {
        r.beta = std::exp(lin->lnBeta);
        r.betaErr = r.beta * lin->err(0);
        r.gammaMean = lin->gamma;
        r.gammaMeanErr = lin->err(1);
        r.mu2 = lin->mu2;
        r.mu2Err = lin->err(2);
        r.mu3 = lin->mu3;
        r.mu3Err = lin->err(3);
        r.pointsUsed = int(tp.size());
        r.pointsLeftOut = int(ta.size() - tp.size());
        if (r.pointsLeftOut > 0)
            AddNote(r.note, std::to_string(r.pointsLeftOut) + " points at or below zero in the range were left out");
    } else {
        Eigen::VectorXd q(params);
        q(0) = 0.0;
        q(1) = std::exp(lin->lnBeta);
        q(2) = lin->gamma * scale;
        q(3) = lin->mu2 * scale * scale;
        if (options.order == 3) q(4) = lin->mu3 * scale * scale * scale;
        std::vector<double> sa(ta.size());
        for (std::size_t i = 0; i < ta.size(); ++i) sa[i] = ta[i] / scale;
        const auto nl = FitFrisken(sa, ya, q);
        if (!nl) return nl.failure();
        r.baseline = nl->q(0);
        r.baselineErr = nl->err(0);
        r.beta = nl->q(1);
        r.betaErr = nl->err(1);
        r.gammaMean = nl->q(2) / scale;
        r.gammaMeanErr = nl->err(2) / scale;
        r.mu2 = nl->q(3) / (scale * scale);
        r.mu2Err = nl->err(3) / (scale * scale);
        if (options.order == 3) {
            r.mu3 = nl->q(4) / (scale * scale * scale);
            r.mu3Err = nl->err(4) / (scale * scale * scale);
        }
        r.pointsUsed = int(ta.size());
    }

    if (!std::isfinite(r.gammaMean) || r.gammaMean <= 0.0)
        return Fail("the fitted mean decay rate is %1 1/s: the data show no decay in the fit range", {NumberArg(r.gammaMean)});
    if (r.mu2 < 0.0) {
        r.pdi = 0.0;
        AddNote(r.note, "mu2 is negative (" + NumberArg(r.mu2) + " 1/s^2): the PDI is shown as 0, as instruments do");
    } else {
        r.pdi = r.mu2 / (r.gammaMean * r.gammaMean);
    }

    // The fitted curve: beta g1^2 (+ B) with g1 = exp(-Gamma t)(1 + mu2 t^2/2 - mu3 t^3/6)
    // for Frisken, exp(-Gamma t + mu2 t^2/2 - mu3 t^3/6) for the ISO form.
    for (std::size_t i = 0; i < ta.size(); ++i) {
        const double x = ta[i];
        double f;
        if (options.method == Method::Iso22412) {
            f = r.beta * std::exp(-2.0 * r.gammaMean * x + r.mu2 * x * x - r.mu3 * x * x * x / 3.0);
        } else {
            const double poly = 1.0 + r.mu2 * x * x / 2.0 - r.mu3 * x * x * x / 6.0;
            f = r.baseline + r.beta * std::exp(-2.0 * r.gammaMean * x) * poly * poly;
        }
        r.fitted.push_back(f);
        r.residuals.push_back(ya[i] - f);
    }
    return r;
}

}  // namespace fluvena::cumulants
