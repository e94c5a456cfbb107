#include "discrete/ExpFit.h"

#include "common/Nnls.h"
#include "common/Statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace fluvena::discrete {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// The problem in scaled units: abscissae divided by T, ordinates by Y, so that
// both are of order one whatever the data's units; rates are then multiplied
// by T and amplitudes divided by Y.
struct Problem {
    VectorXd t, y, sw;  // scaled abscissae, ordinates, square roots of the weights
    Eigen::Index n = 0;  // points
    bool base = true, nonneg = false;
    double thLo = 0, thHi = 0;  // bounds of ln(rate)
    int maxIterations = 100;
};

struct Params {
    VectorXd a, th;  // amplitudes, logarithms of the rates
    double b = 0;
};

// A start: one rate per component and whether it was a spectrum peak.
struct Start {
    std::vector<double> rates;
    std::vector<bool> fromPeak;
};

void Basis(const Problem& p, const VectorXd& th, MatrixXd& e) {
    e.resize(p.n, th.size());
    for (Eigen::Index j = 0; j < th.size(); ++j) {
        const double lam = std::exp(th(j));
        for (Eigen::Index k = 0; k < p.n; ++k) e(k, j) = std::exp(std::min(-lam * p.t(k), 700.0));
    }
}

double Chi2(const Problem& p, const Params& q, MatrixXd& e, VectorXd& r) {
    Basis(p, q.th, e);
    r = p.sw.cwiseProduct(p.y - (e * q.a).array().matrix() - VectorXd::Constant(p.n, q.b));
    double c = r.squaredNorm();
    return std::isfinite(c) ? c : std::numeric_limits<double>::infinity();
}

// Best amplitudes and baseline for fixed rates (non-negative under NONEG).
void LinearAmplitudes(const Problem& p, Params& q) {
    MatrixXd e;
    Basis(p, q.th, e);
    const Eigen::Index m = q.th.size();
    const Eigen::Index extra = p.base ? (p.nonneg ? 2 : 1) : 0;
    MatrixXd a(p.n, m + extra);
    a.leftCols(m) = p.sw.asDiagonal() * e;
    if (p.base) {
        a.col(m) = p.sw;
        if (p.nonneg) a.col(m + 1) = -p.sw;
    }
    const VectorXd rhs = p.sw.cwiseProduct(p.y);
    VectorXd x;
    if (p.nonneg) x = engine::SolveNnls(a, rhs).x;
    else x = a.colPivHouseholderQr().solve(rhs);
    q.a = x.head(m);
    q.b = p.base ? (p.nonneg ? x(m) - x(m + 1) : x(m)) : 0.0;
    for (Eigen::Index j = 0; j < m; ++j)
        if (!std::isfinite(q.a(j))) q.a(j) = 0;
    if (!std::isfinite(q.b)) q.b = 0;
}

struct LmOutcome {
    Params q;
    double chi2 = 0;
    int iterations = 0;
    bool converged = false;
    std::vector<Iteration> history;  // scaled units
};

Iteration Record(const Params& q, double chi2, double damping) {
    Iteration it;
    it.chi2 = chi2;
    it.damping = damping;
    it.baseline = q.b;
    for (Eigen::Index j = 0; j < q.a.size(); ++j) {
        it.alpha.push_back(q.a(j));
        it.lambda.push_back(std::exp(q.th(j)));
    }
    return it;
}

// abandonAbove: a start still this far above the best fit found so far after
// some iterations is leading elsewhere and is dropped.
LmOutcome Levenberg(const Problem& p, Params q, double abandonAbove) {
    const Eigen::Index m = q.th.size();
    const Eigen::Index np = 2 * m + (p.base ? 1 : 0);
    MatrixXd e, et;
    VectorXd r, rt;
    LmOutcome out;
    double chi2 = Chi2(p, q, e, r);
    double mu = 1e-3;
    out.history.push_back(Record(q, chi2, 0.0));
    MatrixXd jac(p.n, np);
    for (int it = 0; it < p.maxIterations; ++it) {
        for (Eigen::Index j = 0; j < m; ++j) {
            const double lam = std::exp(q.th(j));
            jac.col(j) = p.sw.cwiseProduct(e.col(j));
            jac.col(m + j) = -q.a(j) * lam * p.sw.cwiseProduct(p.t).cwiseProduct(e.col(j));
        }
        if (p.base) jac.col(2 * m) = p.sw;
        const MatrixXd jtj = jac.transpose() * jac;
        const VectorXd g = jac.transpose() * r;
        VectorXd d = jtj.diagonal();
        const double dmax = std::max(d.maxCoeff(), 1e-300);
        for (Eigen::Index i = 0; i < np; ++i) d(i) = std::max(d(i), 1e-12 * dmax);

        bool improved = false;
        double relDecrease = 0, maxThStep = 0;
        for (int attempt = 0; attempt < 30 && mu < 1e14; ++attempt) {
            MatrixXd lhs = jtj;
            lhs.diagonal() += mu * d;
            Eigen::LDLT<MatrixXd> ldlt(lhs);
            VectorXd delta = ldlt.solve(g);
            if (ldlt.info() != Eigen::Success || !delta.allFinite()) {
                mu *= 10;
                continue;
            }
            double thStep = delta.segment(m, m).cwiseAbs().maxCoeff();
            if (thStep > 1.5) delta *= 1.5 / thStep;
            Params trial = q;
            trial.a += delta.head(m);
            trial.th += delta.segment(m, m);
            if (p.base) trial.b += delta(2 * m);
            for (Eigen::Index j = 0; j < m; ++j) {
                if (p.nonneg && trial.a(j) < 0) trial.a(j) = 0;
                trial.th(j) = std::clamp(trial.th(j), p.thLo, p.thHi);
            }
            double c = Chi2(p, trial, et, rt);
            if (c < chi2) {
                relDecrease = (chi2 - c) / std::max(chi2, 1e-300);
                maxThStep = (trial.th - q.th).cwiseAbs().maxCoeff();
                chi2 = c;
                q = trial;
                e.swap(et);
                r.swap(rt);
                mu = std::max(mu / 3, 1e-12);
                improved = true;
                break;
            }
            mu *= attempt < 4 ? 4 : 16;
        }
        out.iterations = it + 1;
        if (!improved) {  // no step lowers chi^2 any more: a minimum within rounding
            out.converged = true;
            break;
        }
        out.history.push_back(Record(q, chi2, mu));
        if (relDecrease < 1e-12 || (relDecrease < 1e-9 && maxThStep < 1e-5) || chi2 < 1e-28) {
            out.converged = true;
            break;
        }
        if (it >= 15 && chi2 > abandonAbove) break;
        // A long crawl along a flat valley changes chi^2 by nothing that
        // matters to the F-tests: stop it.
        const std::size_t h = out.history.size();
        if (h > 10 && out.history[h - 11].chi2 - chi2 <= 1e-6 * chi2) {
            out.converged = true;
            break;
        }
    }
    out.q = q;
    out.chi2 = chi2;
    return out;
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

}  // namespace

Analysis AnalyseDecay(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w,
                      const FitOptions& options) {
    Analysis an;
    Problem p;
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
    an.lambdaMin = lamLo / tScale;
    an.lambdaMax = lamHi / tScale;

    const Spectrum scaled = RateSpectrum(p);
    an.spectrum = scaled;
    for (double& r : an.spectrum.rates) r /= tScale;
    for (double& r : an.spectrum.peakRates) r /= tScale;
    for (double& a : an.spectrum.amplitudes) a *= yScale;
    for (double& a : an.spectrum.peakAmplitudes) a *= yScale;

    const int maxN = std::clamp(options.maxComponents, 1, 9);
    std::vector<double> previous;
    for (int m = 1; m <= maxN; ++m) {
        Fit fit;
        fit.n = m;
        fit.parameters = 2 * m + (p.base ? 1 : 0);
        std::vector<Start> starts = Starts(p, scaled, previous, static_cast<std::size_t>(m), std::max(1, options.tries));
        LmOutcome best;
        Start bestStart;
        bool have = false;
        for (const Start& st : starts) {
            Params q;
            q.th.resize(m);
            for (int j = 0; j < m; ++j) q.th(j) = std::log(st.rates[j]);
            LinearAmplitudes(p, q);
            LmOutcome o = Levenberg(p, q, have ? 1.5 * best.chi2 : std::numeric_limits<double>::infinity());
            ++fit.tries;
            if (have && std::abs(o.chi2 - best.chi2) <= 1e-7 * best.chi2) {
                // A second start reached the same minimum: take it as the
                // best this count can do and spare the remaining starts.
                if (o.chi2 < best.chi2) {
                    best = std::move(o);
                    bestStart = st;
                }
                break;
            }
            if (!have || o.chi2 < best.chi2) {
                best = std::move(o);
                bestStart = st;
                have = true;
            }
        }
        const Params& q = best.q;
        previous.clear();
        for (int j = 0; j < m; ++j) previous.push_back(std::exp(q.th(j)));

        // Covariance at the minimum: J^T J in the natural parameters
        // (lambda_j, alpha_j, baseline), columns scaled to unit length so the
        // rank test does not depend on units.
        const Eigen::Index np = fit.parameters;
        MatrixXd e;
        VectorXd r;
        const double chi2 = Chi2(p, q, e, r);
        MatrixXd jac(p.n, np);
        for (int j = 0; j < m; ++j) {
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

        // Back to the data's units, components by increasing rate.
        std::vector<int> order(static_cast<std::size_t>(m));
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int l, int rr) { return q.th(l) < q.th(rr); });
        for (int j : order) {
            Component c;
            c.alpha = q.a(j) * yScale;
            c.lambda = std::exp(q.th(j)) / tScale;
            c.alphaErr = fit.covarianceOk ? std::sqrt(std::max(cov(m + j, m + j), 0.0)) * yScale : 0.0;
            c.lambdaErr = fit.covarianceOk ? std::sqrt(std::max(cov(j, j), 0.0)) / tScale : 0.0;
            c.start = bestStart.rates[static_cast<std::size_t>(j)] / tScale;
            c.startFromPeak = bestStart.fromPeak[static_cast<std::size_t>(j)];
            fit.comps.push_back(c);
        }
        fit.baseline = q.b * yScale;
        fit.baselineErr = (p.base && fit.covarianceOk) ? std::sqrt(std::max(cov(2 * m, 2 * m), 0.0)) * yScale : 0.0;
        // Reorder the correlation matrix the same way.
        if (fit.covarianceOk) {
            std::vector<Eigen::Index> perm;
            for (int j : order) perm.push_back(j);
            for (int j : order) perm.push_back(m + j);
            if (p.base) perm.push_back(2 * m);
            MatrixXd c2(np, np);
            for (Eigen::Index i = 0; i < np; ++i)
                for (Eigen::Index k = 0; k < np; ++k) c2(i, k) = fit.correlation(perm[i], perm[k]);
            fit.correlation = c2;
        }
        fit.iterations = best.iterations;
        fit.converged = best.converged;
        for (const Iteration& it : best.history) {
            Iteration o;
            o.chi2 = it.chi2 * yScale * yScale * wMean;
            o.damping = it.damping;
            o.baseline = it.baseline * yScale;
            std::vector<int> idx = order;
            for (int j : idx) {
                o.alpha.push_back(it.alpha[static_cast<std::size_t>(j)] * yScale);
                o.lambda.push_back(it.lambda[static_cast<std::size_t>(j)] / tScale);
            }
            fit.history.push_back(std::move(o));
        }
        // Fitted curve and residuals in the data's units.
        fit.chi2 = 0;
        for (Eigen::Index k = 0; k < p.n; ++k) {
            double f = fit.baseline;
            for (const Component& c : fit.comps) f += c.alpha * std::exp(std::min(-c.lambda * t[k], 700.0));
            fit.fitted.push_back(f);
            double res = std::sqrt(w[k]) * (y[k] - f);
            fit.residuals.push_back(res);
            fit.chi2 += res * res;
        }
        fit.sigma = std::sqrt(fit.chi2 / static_cast<double>(std::max<Eigen::Index>(p.n - np, 1)));
        const engine::SerialCorrelationTest serial = engine::TestSerialCorrelation(fit.residuals);
        fit.lagProb = serial.lagProb;
        fit.punc = serial.punc;

        // Is this fit worth listing?
        bool finite = std::isfinite(fit.chi2) && std::isfinite(fit.baseline) && std::isfinite(fit.baselineErr);
        for (const Component& c : fit.comps)
            finite = finite && std::isfinite(c.alpha) && std::isfinite(c.lambda) && std::isfinite(c.alphaErr) &&
                     std::isfinite(c.lambdaErr);
        double ampScale = std::abs(fit.baseline);
        for (const Component& c : fit.comps) ampScale = std::max(ampScale, std::abs(c.alpha));
        if (!finite) fit.whyNot = "NUMBERS OUT OF RANGE";
        else if (!fit.covarianceOk) fit.whyNot = "SINGULAR LEAST SQUARES MATRIX";
        for (std::size_t j = 0; j < fit.comps.size() && fit.whyNot.empty(); ++j) {
            const Component& c = fit.comps[j];
            if (c.alpha == 0 || std::abs(c.alpha) <= 1e-9 * ampScale)
                fit.whyNot = "AMPLITUDE " + std::to_string(j + 1) + " IS ZERO";
            else if (p.nonneg && c.alpha < 0)
                fit.whyNot = "AMPLITUDE " + std::to_string(j + 1) + " IS NEGATIVE";
            else if (std::log(c.lambda * tScale) <= p.thLo + 1e-3 || std::log(c.lambda * tScale) >= p.thHi - 1e-3)
                fit.whyNot = "RATE " + std::to_string(j + 1) + " AT THE LIMIT OF THE RANGE";
            else if (j > 0 && std::log(c.lambda / fit.comps[j - 1].lambda) < 0.02)
                fit.whyNot = "RATES " + std::to_string(j) + " AND " + std::to_string(j + 1) + " NOT DISTINCT";
            else {
                // A component that stands above the scatter at fewer than three
                // points is fitted to those points alone.
                int touched = 0;
                for (std::size_t k = 0; k < t.size(); ++k)
                    touched += std::sqrt(w[k]) * std::abs(c.alpha) * std::exp(std::min(-c.lambda * t[k], 700.0)) >
                               fit.sigma;
                if (touched < 3)
                    fit.whyNot = "COMPONENT " + std::to_string(j + 1) + " RISES ABOVE THE SCATTER AT FEWER THAN 3 POINTS";
            }
        }
        fit.meaningful = fit.whyNot.empty();
        an.fits.push_back(std::move(fit));
    }

    // Ranking by F-tests between component counts.
    const int points = static_cast<int>(p.n);
    an.pBetter = MatrixXd::Zero(maxN, maxN);
    for (int m = 0; m < maxN; ++m)
        for (int n = 0; n < m; ++n)
            an.pBetter(m, n) = engine::ProbabilityBetter(an.fits[n].chi2, an.fits[n].parameters, an.fits[m].chi2,
                                                 an.fits[m].parameters, points);
    std::vector<int> ok;
    for (int n = 0; n < maxN; ++n)
        if (an.fits[n].meaningful) ok.push_back(n);
    if (ok.empty()) return an;
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
    return an;
}

}  // namespace fluvena::discrete
