// Sums of exponentials for every component count: starts from the peaks of
// a non-negative rate spectrum, the fits (VarPro.h), their standard errors,
// and the ranking by F-tests between counts.
#include "discrete/ExpFit.h"
#include "discrete/VarPro.h"

#include "common/Nnls.h"
#include "common/Statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace fluvena::discrete {

using namespace detail;

namespace {

// A start: one rate per component and whether it was a spectrum peak.
struct Start {
    std::vector<double> rates;
    std::vector<bool> fromPeak;
};

// Two components of opposite sign at rates closer than the listing tells
// rates apart: together they mimic the derivative of a decay.
bool CancellingPair(const Params& q) {
    for (Eigen::Index i = 0; i < q.th.size(); ++i)
        for (Eigen::Index j = i + 1; j < q.th.size(); ++j)
            if (std::abs(q.th(i) - q.th(j)) < 0.02 && q.a(i) * q.a(j) < 0) return true;
    return false;
}

bool SameStart(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    std::vector<double> x = a, y = b;
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    for (std::size_t i = 0; i < x.size(); ++i)
        if (std::abs(std::log(x[i] / y[i])) > 0.05) return false;
    return true;
}

Spectrum RateSpectrum(const Problem& p) {
    Spectrum s;
    const double decades = (p.thHi - p.thLo) / std::log(10.0);
    const int g = std::clamp(static_cast<int>(std::lround(8 * decades)), 16, 80);
    for (int i = 0; i < g; ++i) s.rates.push_back(std::exp(p.thLo + (p.thHi - p.thLo) * i / (g - 1)));
    const Eigen::Index extra = p.base ? 2 : 0;
    MatrixXd a(p.n, g + extra);
    for (int i = 0; i < g; ++i)
        for (Eigen::Index k = 0; k < p.n; ++k) a(k, i) = p.sw(k) * std::exp(std::min(-s.rates[i] * p.t(k), 700.0));
    if (p.base) {
        a.col(g) = p.sw;
        a.col(g + 1) = -p.sw;
    }
    VectorXd x = engine::SolveNnls(a, p.sw.cwiseProduct(p.y)).x;
    s.amplitudes.assign(x.data(), x.data() + g);
    const double top = std::max(x.head(g).maxCoeff(), 0.0);
    struct Peak {
        double weight, amplitude, rate;
    };
    std::vector<Peak> peaks;
    for (int i = 0; i < g;) {
        if (!(x(i) > 1e-9 * top)) {
            ++i;
            continue;
        }
        double sum = 0, lsum = 0;
        for (; i < g && x(i) > 1e-9 * top; ++i) {
            sum += x(i);
            lsum += x(i) * std::log(s.rates[i]);
        }
        const double rate = std::exp(lsum / sum);
        // Rank peaks by how much they contribute to the data, not by the
        // amplitude alone: a very fast component with a large amplitude may
        // touch only the first point.
        double reach = 0;
        for (Eigen::Index k = 0; k < p.n; ++k) reach += std::pow(p.sw(k) * std::exp(std::min(-rate * p.t(k), 700.0)), 2);
        peaks.push_back({sum * std::sqrt(reach), sum, rate});
    }
    std::stable_sort(peaks.begin(), peaks.end(), [](const Peak& l, const Peak& r) { return l.weight > r.weight; });
    for (const Peak& pk : peaks) {
        s.peakAmplitudes.push_back(pk.amplitude);
        s.peakRates.push_back(pk.rate);
    }
    return s;
}

// Starting sets for m components: the largest spectrum peaks, the previous
// fit with one more peak or with one component split in two, then rates
// spread evenly in ln(rate).
std::vector<Start> Starts(const Problem& p, const Spectrum& s, const std::vector<double>& previous, std::size_t m,
                          int wanted) {
    std::vector<Start> out;
    auto add = [&](Start st) {
        if (static_cast<int>(out.size()) >= wanted || st.rates.size() != m) return;
        for (double& r : st.rates) r = std::clamp(r, std::exp(p.thLo), std::exp(p.thHi));
        for (const Start& o : out)
            if (SameStart(o.rates, st.rates)) return;
        out.push_back(std::move(st));
    };
    const std::size_t peaks = s.peakRates.size();
    if (peaks >= m) add({std::vector<double>(s.peakRates.begin(), s.peakRates.begin() + m), std::vector<bool>(m, true)});
    if (previous.size() + 1 == m) {
        for (double pr : s.peakRates) {
            bool near = false;
            for (double r : previous) near = near || std::abs(std::log(pr / r)) < std::log(2.0);
            if (near) continue;
            Start st{previous, std::vector<bool>(m, true)};
            st.rates.push_back(pr);
            add(st);
        }
        for (std::size_t j = 0; j < previous.size(); ++j) {
            Start st{previous, std::vector<bool>(m, true)};
            st.rates[j] = previous[j] / 2.5;
            st.rates.push_back(previous[j] * 2.5);
            st.fromPeak[j] = false;
            st.fromPeak[m - 1] = false;
            add(st);
        }
    }
    if (peaks > 0 && peaks < m) {
        // All peaks, the largest ones split until there are m rates.
        Start st{s.peakRates, std::vector<bool>(peaks, true)};
        for (std::size_t j = 0; st.rates.size() < m; j = (j + 1) % peaks) {
            double r = st.rates[j];
            st.rates[j] = r / 2.0;
            st.fromPeak[j] = false;
            st.rates.push_back(r * 2.0);
            st.fromPeak.push_back(false);
        }
        add(st);
    }
    // Evenly spread over the middle of the rate range, then over a narrower span
    // around the spectrum's centre.
    double lo = p.thLo + 0.15 * (p.thHi - p.thLo), hi = p.thHi - 0.15 * (p.thHi - p.thLo);
    for (int variant = 0; variant < 3 && static_cast<int>(out.size()) < wanted; ++variant) {
        Start st;
        for (std::size_t j = 0; j < m; ++j) {
            double f = m == 1 ? 0.5 : static_cast<double>(j) / static_cast<double>(m - 1);
            st.rates.push_back(std::exp(lo + (hi - lo) * f));
            st.fromPeak.push_back(false);
        }
        add(st);
        double mid = 0.5 * (lo + hi);
        lo = 0.5 * (lo + mid);
        hi = 0.5 * (hi + mid);
    }
    return out;
}

// The problem in units of order one: t / T and y / Y with T and Y the
// largest |t| and |y|, weights divided by their mean W; rates are held
// within [0.02, 20 / t_first] / T (see AnalyseDecay).
struct Scaled {
    Problem p;
    double t = 1, y = 1, w = 1;  // T, Y, W
    double lamLo = 0, lamHi = 0;  // bounds of the scaled rates
};

Scaled ScaleProblem(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
                    const FitOptions& options) {
    Scaled s;
    Problem& p = s.p;
    p.n = static_cast<Eigen::Index>(t.size());
    p.base = options.baseline;
    p.nonneg = options.nonneg;
    p.maxIterations = std::max(1, options.maxIterations);
    double tScale = 0, yScale = 0, wMean = 0, tFirst = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < t.size(); ++k) {
        tScale = std::max(tScale, std::abs(t[k]));
        yScale = std::max(yScale, std::abs(y[k]));
        wMean += w[k];
        if (t[k] > 0) tFirst = std::min(tFirst, t[k]);
    }
    if (!(tScale > 0) || !std::isfinite(tScale)) tScale = 1;
    if (!(yScale > 0) || !std::isfinite(yScale)) yScale = 1;
    wMean /= static_cast<double>(std::max<std::size_t>(t.size(), 1));
    if (!(wMean > 0) || !std::isfinite(wMean)) wMean = 1;
    p.t.resize(p.n);
    p.y.resize(p.n);
    p.sw.resize(p.n);
    for (Eigen::Index k = 0; k < p.n; ++k) {
        p.t(k) = t[k] / tScale;
        p.y(k) = y[k] / yScale;
        double wk = w[k] / wMean;
        p.sw(k) = std::isfinite(wk) && wk > 0 ? std::sqrt(wk) : 0.0;
    }
    // Rates are held where the data can show them: slow enough to decay a
    // little over the whole span, fast enough to leave a trace at the first
    // positive abscissa.
    const double first = std::isfinite(tFirst) ? tFirst / tScale : 1.0;
    const double lamLo = 0.02;
    const double lamHi = std::clamp(20.0 / first, lamLo * 100, 1e7);
    p.thLo = std::log(lamLo);
    p.thHi = std::log(lamHi);
    s.lamLo = lamLo;
    s.lamHi = lamHi;
    s.t = tScale;
    s.y = yScale;
    s.w = wMean;
    return s;
}

// The best of the starting sets for m components: the least chi^2 reached by
// Levenberg-Marquardt from each. A start that reaches the best chi^2 again
// (within 1e-4, which the F-tests cannot tell apart) ends the search unless
// the best holds a cancelling pair: such a pair can stand in for a component
// of opposite sign that the starts missed.
LmOutcome BestOfStarts(const Problem& p, const std::vector<Start>& starts, Start& bestStart, int& tries) {
    LmOutcome best;
    bool have = false;
    for (const Start& st : starts) {
        const Eigen::Index m = static_cast<Eigen::Index>(st.rates.size());
        VectorXd th(m);
        for (Eigen::Index j = 0; j < m; ++j) th(j) = std::log(st.rates[static_cast<std::size_t>(j)]);
        LmOutcome o = Levenberg(p, th, have ? 1.5 * best.chi2 : std::numeric_limits<double>::infinity());
        ++tries;
        if (have && std::abs(o.chi2 - best.chi2) <= 1e-4 * best.chi2) {
            if (o.chi2 < best.chi2) {
                best = std::move(o);
                bestStart = st;
            }
            if (!CancellingPair(best.q)) break;
            continue;
        }
        if (!have || o.chi2 < best.chi2) {
            best = std::move(o);
            bestStart = st;
            have = true;
        }
    }
    return best;
}

// Covariance at the minimum, s^2 (J^T J)^-1 with s^2 = chi^2 / (N - P), J the
// Jacobian of the weighted residuals in the natural parameters (lambda_j,
// alpha_j, baseline); the columns are scaled to unit length so that the rank
// test (smallest singular value above 1e-10 of the largest) does not depend
// on units. Sets fit.covarianceOk and fit.correlation (in the fit's order).
MatrixXd Covariance(const Problem& p, const Params& q, Fit& fit) {
    const Eigen::Index m = q.th.size();
    const Eigen::Index np = fit.parameters;
    MatrixXd e;
    VectorXd r;
    const double chi2 = Chi2(p, q, e, r);
    MatrixXd jac(p.n, np);
    for (Eigen::Index j = 0; j < m; ++j) {
        jac.col(j) = -q.a(j) * p.sw.cwiseProduct(p.t).cwiseProduct(e.col(j));
        jac.col(m + j) = p.sw.cwiseProduct(e.col(j));
    }
    if (p.base) jac.col(2 * m) = p.sw;
    VectorXd norms = jac.colwise().norm().transpose();
    bool zeroColumn = false;
    for (Eigen::Index i = 0; i < np; ++i)
        if (!(norms(i) > 0) || !std::isfinite(norms(i))) zeroColumn = true;
    MatrixXd cov = MatrixXd::Zero(np, np);
    const double s2 = chi2 / static_cast<double>(std::max<Eigen::Index>(p.n - np, 1));
    if (!zeroColumn) {
        MatrixXd js = jac * norms.cwiseInverse().asDiagonal();
        Eigen::JacobiSVD<MatrixXd> svd(js, Eigen::ComputeThinV);
        const VectorXd sv = svd.singularValues();
        if (sv.size() == np && sv(np - 1) > 1e-10 * sv(0)) {
            const MatrixXd& v = svd.matrixV();
            MatrixXd inv = v * sv.cwiseAbs2().cwiseInverse().asDiagonal() * v.transpose();
            cov = s2 * (norms.cwiseInverse().asDiagonal() * inv * norms.cwiseInverse().asDiagonal());
            fit.covarianceOk = cov.allFinite();
        }
    }
    fit.correlation = MatrixXd::Zero(np, np);
    if (fit.covarianceOk)
        for (Eigen::Index i = 0; i < np; ++i)
            for (Eigen::Index k = 0; k < np; ++k) {
                double d = std::sqrt(cov(i, i) * cov(k, k));
                fit.correlation(i, k) = d > 0 ? cov(i, k) / d : (i == k ? 1.0 : 0.0);
            }
    return cov;
}

// The fit in the data's units, components by increasing rate: amplitudes
// times Y, rates divided by T, their standard errors from cov, the
// correlation matrix and the iteration history reordered the same way.
void ToDataUnits(const Scaled& s, const LmOutcome& best, const Start& bestStart, const MatrixXd& cov, Fit& fit) {
    const Params& q = best.q;
    const int m = static_cast<int>(q.th.size());
    const Eigen::Index np = fit.parameters;
    std::vector<int> order(static_cast<std::size_t>(m));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int l, int rr) { return q.th(l) < q.th(rr); });
    for (int j : order) {
        Component c;
        c.alpha = q.a(j) * s.y;
        c.lambda = std::exp(q.th(j)) / s.t;
        c.alphaErr = fit.covarianceOk ? std::sqrt(std::max(cov(m + j, m + j), 0.0)) * s.y : 0.0;
        c.lambdaErr = fit.covarianceOk ? std::sqrt(std::max(cov(j, j), 0.0)) / s.t : 0.0;
        c.start = bestStart.rates[static_cast<std::size_t>(j)] / s.t;
        c.startFromPeak = bestStart.fromPeak[static_cast<std::size_t>(j)];
        fit.comps.push_back(c);
    }
    fit.baseline = q.b * s.y;
    fit.baselineErr = (s.p.base && fit.covarianceOk) ? std::sqrt(std::max(cov(2 * m, 2 * m), 0.0)) * s.y : 0.0;
    if (fit.covarianceOk) {
        std::vector<Eigen::Index> perm;
        for (int j : order) perm.push_back(j);
        for (int j : order) perm.push_back(m + j);
        if (s.p.base) perm.push_back(2 * m);
        MatrixXd c2(np, np);
        for (Eigen::Index i = 0; i < np; ++i)
            for (Eigen::Index k = 0; k < np; ++k) c2(i, k) = fit.correlation(perm[i], perm[k]);
        fit.correlation = c2;
    }
    fit.iterations = best.iterations;
    fit.converged = best.converged;
    for (const Iteration& it : best.history) {
        Iteration o;
        o.chi2 = it.chi2 * s.y * s.y * s.w;
        o.damping = it.damping;
        o.baseline = it.baseline * s.y;
        for (int j : order) {
            o.alpha.push_back(it.alpha[static_cast<std::size_t>(j)] * s.y);
            o.lambda.push_back(it.lambda[static_cast<std::size_t>(j)] / s.t);
        }
        fit.history.push_back(std::move(o));
    }
}

// The fitted curve, the residuals sqrt(w) (y - fit), chi^2 (summed in
// scaled units, as the squares of huge ordinates overflow), the standard
// deviation of unit weight sqrt(chi^2 / (N - P)) and the serial-correlation
// test of the residuals.
void Residuals(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
               double yScale, Fit& fit) {
    fit.scaledChi2 = 0;
    for (std::size_t k = 0; k < t.size(); ++k) {
        double f = fit.baseline;
        for (const Component& c : fit.comps) f += c.alpha * std::exp(std::min(-c.lambda * t[k], 700.0));
        fit.fitted.push_back(f);
        double res = std::sqrt(w[k]) * (y[k] - f);
        fit.residuals.push_back(res);
        fit.scaledChi2 += (res / yScale) * (res / yScale);
    }
    fit.chi2 = fit.scaledChi2 * yScale * yScale;
    const std::size_t params = static_cast<std::size_t>(fit.parameters);
    const std::size_t dof = t.size() > params ? t.size() - params : 1;
    fit.sigma = yScale * std::sqrt(fit.scaledChi2 / static_cast<double>(dof));
    const engine::SerialCorrelationTest serial = engine::TestSerialCorrelation(fit.residuals);
    fit.lagProb = serial.lagProb;
    fit.punc = serial.punc;
}

// Why a fit is not worth listing, empty when it is: numbers out of range, a
// singular matrix, a zero (or, under NONNEG, negative) amplitude, a rate at
// the limit of the range, two rates within 2 % of each other, or a component
// that stands above the scatter at fewer than three points.
std::string WhyNotMeaningful(const Fit& fit, const Scaled& s, const std::vector<double>& t, const std::vector<double>& w) {
    bool finite = std::isfinite(fit.scaledChi2) && std::isfinite(fit.baseline) && std::isfinite(fit.baselineErr);
    for (const Component& c : fit.comps)
        finite = finite && std::isfinite(c.alpha) && std::isfinite(c.lambda) && std::isfinite(c.alphaErr) &&
                 std::isfinite(c.lambdaErr);
    if (!finite) return "NUMBERS OUT OF RANGE";
    if (!fit.covarianceOk) return "SINGULAR LEAST SQUARES MATRIX";
    double ampScale = std::abs(fit.baseline);
    for (const Component& c : fit.comps) ampScale = std::max(ampScale, std::abs(c.alpha));
    for (std::size_t j = 0; j < fit.comps.size(); ++j) {
        const Component& c = fit.comps[j];
        if (c.alpha == 0 || std::abs(c.alpha) <= 1e-9 * ampScale) return "AMPLITUDE " + std::to_string(j + 1) + " IS ZERO";
        if (s.p.nonneg && c.alpha < 0) return "AMPLITUDE " + std::to_string(j + 1) + " IS NEGATIVE";
        if (std::log(c.lambda * s.t) <= s.p.thLo + 1e-3 || std::log(c.lambda * s.t) >= s.p.thHi - 1e-3)
            return "RATE " + std::to_string(j + 1) + " AT THE LIMIT OF THE RANGE";
        if (j > 0 && std::log(c.lambda / fit.comps[j - 1].lambda) < 0.02)
            return "RATES " + std::to_string(j) + " AND " + std::to_string(j + 1) + " NOT DISTINCT";
        // A component that stands above the scatter at fewer than three
        // points is fitted to those points alone.
        int touched = 0;
        for (std::size_t k = 0; k < t.size(); ++k)
            touched += std::sqrt(w[k]) * std::abs(c.alpha) * std::exp(std::min(-c.lambda * t[k], 700.0)) > fit.sigma;
        if (touched < 3) return "COMPONENT " + std::to_string(j + 1) + " RISES ABOVE THE SCATTER AT FEWER THAN 3 POINTS";
    }
    return {};
}

// Ranking by F-tests between component counts: pBetter(m, n) is the
// probability that m components fit really better than n < m. The best is
// the smallest meaningful count that no larger meaningful one beats at the
// 0.99 level; the rest follow by (not beaten) x (needed over the next
// smaller count).
void Rank(Analysis& an, int points) {
    const int maxN = static_cast<int>(an.fits.size());
    an.pBetter = MatrixXd::Zero(maxN, maxN);
    for (int m = 0; m < maxN; ++m)
        for (int n = 0; n < m; ++n)
            an.pBetter(m, n) = engine::ProbabilityBetter(an.fits[n].scaledChi2, an.fits[n].parameters, an.fits[m].scaledChi2,
                                                 an.fits[m].parameters, points);
    std::vector<int> ok;
    for (int n = 0; n < maxN; ++n)
        if (an.fits[n].meaningful) ok.push_back(n);
    if (ok.empty()) return;
    constexpr double kSignificant = 0.99;
    auto notBeaten = [&](int n) {
        double worst = 0;
        for (int m : ok)
            if (m > n) worst = std::max(worst, an.pBetter(m, n));
        return 1.0 - worst;
    };
    auto needed = [&](int n) {
        int below = -1;
        for (int m : ok)
            if (m < n) below = m;
        return below < 0 ? 1.0 : an.pBetter(n, below);
    };
    int best = ok.back();
    for (int n : ok)
        if (1.0 - notBeaten(n) < kSignificant) {
            best = n;
            break;
        }
    // Approximate probability that the best is really best: lowered when the
    // next simpler fit is beaten only narrowly, and when a larger fit comes
    // near to beating it (P above 0.9) without reaching the level.
    const double nearlyBeaten = 1.0 - notBeaten(best);
    an.pBest = std::min(needed(best), std::min(1.0, 0.5 + 0.5 * (1.0 - nearlyBeaten) / 0.1));
    std::vector<std::pair<double, int>> rest;
    for (int n : ok)
        if (n != best) rest.emplace_back(notBeaten(n) * needed(n), n);
    std::stable_sort(rest.begin(), rest.end(), [](auto& l, auto& r) { return l.first > r.first; });
    an.ranking.push_back(best + 1);
    for (auto& [score, n] : rest) an.ranking.push_back(n + 1);
}

}  // namespace

Analysis AnalyseDecay(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
                      const FitOptions& options) {
    Analysis an;
    const Scaled s = ScaleProblem(t, y, w, options);
    an.lambdaMin = s.lamLo / s.t;
    an.lambdaMax = s.lamHi / s.t;

    const Spectrum scaled = RateSpectrum(s.p);
    an.spectrum = scaled;
    for (double& r : an.spectrum.rates) r /= s.t;
    for (double& r : an.spectrum.peakRates) r /= s.t;
    for (double& a : an.spectrum.amplitudes) a *= s.y;
    for (double& a : an.spectrum.peakAmplitudes) a *= s.y;

    const int maxN = std::clamp(options.maxComponents, 1, 9);
    std::vector<double> previous;
    for (int m = 1; m <= maxN; ++m) {
        Fit fit;
        fit.n = m;
        fit.parameters = 2 * m + (s.p.base ? 1 : 0);
        const std::vector<Start> starts =
            Starts(s.p, scaled, previous, static_cast<std::size_t>(m), std::max(1, options.tries));
        Start bestStart;
        const LmOutcome best = BestOfStarts(s.p, starts, bestStart, fit.tries);
        previous.clear();
        for (int j = 0; j < m; ++j) previous.push_back(std::exp(best.q.th(j)));
        const MatrixXd cov = Covariance(s.p, best.q, fit);
        ToDataUnits(s, best, bestStart, cov, fit);
        Residuals(t, y, w, s.y, fit);
        fit.whyNot = WhyNotMeaningful(fit, s, t, w);
        fit.meaningful = fit.whyNot.empty();
        an.fits.push_back(std::move(fit));
    }
    Rank(an, static_cast<int>(s.p.n));
    return an;
}

}  // namespace fluvena::discrete

