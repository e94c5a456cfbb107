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
        e.col(j) = (p.t.array() * -lam).min(700.0).exp();
    }
}

double Chi2(const Problem& p, const Params& q, MatrixXd& e, VectorXd& r) {
    Basis(p, q.th, e);
    r.noalias() = e * q.a;
    r = ((p.y - r).array() - q.b) * p.sw.array();
    const double c = r.squaredNorm();
    return std::isfinite(c) ? c : std::numeric_limits<double>::infinity();
}

// Products of tall matrices whose results are small: column by column dot
// products, cheaper than general matrix products at these sizes.
void CrossProduct(const MatrixXd& a, const MatrixXd& b, MatrixXd& out) {
    out.resize(a.cols(), b.cols());
    for (Eigen::Index j = 0; j < b.cols(); ++j)
        for (Eigen::Index i = 0; i < a.cols(); ++i) out(i, j) = a.col(i).dot(b.col(j));
}

void Gram(const MatrixXd& a, MatrixXd& out) {
    out.resize(a.cols(), a.cols());
    for (Eigen::Index j = 0; j < a.cols(); ++j)
        for (Eigen::Index i = j; i < a.cols(); ++i) out(i, j) = out(j, i) = a.col(i).dot(a.col(j));
}

// The linear part of the problem for fixed rates: the best amplitudes (non-
// negative under NONEG) and baseline. This is the variable projection of
// Golub and Pereyra (SIAM J. Numer. Anal. 10, 1973, 413): the least-squares
// problem becomes one in the rates alone.
struct LinearFit {
    VectorXd a;                // amplitudes
    double b = 0;              // baseline
    VectorXd r;                // weighted residuals
    double chi2 = 0;
    std::vector<int> freeSet;  // the NNLS free set, a warm start for nearby rates
};

class Projection {
public:
    explicit Projection(const Problem& p) : p_(p) {
        rhs_ = p.sw.cwiseProduct(p.y);
        if (p.base) {
            u_ = p.sw / p.sw.norm();
            rhs_ -= u_ * u_.dot(rhs_);  // the baseline is free: project it out first
        }
    }

    // Fills fit for the log-rates th; e receives the decays exp(-lambda t).
    // Columns of rates equal to those of near (decays nearE) are copied.
    double Solve(const VectorXd& th, MatrixXd& e, LinearFit& fit, const VectorXd* near = nullptr,
                 const MatrixXd* nearE = nullptr) {
        if (near) {
            e.resize(p_.n, th.size());
            for (Eigen::Index j = 0; j < th.size(); ++j) {
                if (th(j) == (*near)(j)) e.col(j) = nearE->col(j);
                else e.col(j) = (p_.t.array() * -std::exp(th(j))).min(700.0).exp();
            }
        } else {
            Basis(p_, th, e);
        }
        const Eigen::Index m = th.size();
        Columns(e);
        // The amplitudes in units of their column norms; the normal equations
        // serve while they are well conditioned (their error grows with the
        // square of the condition number), a pivoted QR otherwise.
        Gram(x_, gram_);
        scale_.resize(m);
        for (Eigen::Index j = 0; j < m; ++j) scale_(j) = gram_(j, j) > 0 ? 1.0 / std::sqrt(gram_(j, j)) : 0.0;
        gram_ = scale_.asDiagonal() * gram_ * scale_.asDiagonal();
        for (Eigen::Index j = 0; j < m; ++j)
            if (scale_(j) == 0) gram_(j, j) = 1;  // a column of zeros: its amplitude stays 0
        llt_.compute(gram_);
        bool normal = llt_.info() == Eigen::Success;
        if (normal) {
            tri_ = llt_.matrixU();
            normal = tri_.diagonal().minCoeff() >= 1e-3;
        }
        if (normal) {
            qtb_.noalias() = x_.transpose() * rhs_;
            qtb_.array() *= scale_.array();
            tri_.transpose().triangularView<Eigen::Lower>().solveInPlace(qtb_);
            cols_.resize(static_cast<std::size_t>(m));
            std::iota(cols_.begin(), cols_.end(), Eigen::Index{0});
        } else {
            qr_.compute(x_);
            const Eigen::Index k = qr_.rank();
            tri_ = qr_.matrixR().topLeftCorner(k, k).triangularView<Eigen::Upper>();
            qtb_ = (qr_.householderQ().adjoint() * rhs_).head(k);
            cols_.clear();
            for (Eigen::Index i = 0; i < k; ++i) cols_.push_back(qr_.colsPermutation().indices()(i));
            scale_.setOnes();
        }
        const Eigen::Index k = static_cast<Eigen::Index>(cols_.size());
        z_ = qtb_;
        tri_.triangularView<Eigen::Upper>().solveInPlace(z_);
        if (p_.nonneg && k > 0 && !(z_.minCoeff() >= 0)) {
            const engine::NnlsResult nn = engine::SolveNnls(tri_, qtb_, fit.freeSet);
            z_ = nn.x;
            fit.freeSet = nn.passive;
        }
        fit.a.setZero(m);
        for (Eigen::Index i = 0; i < k; ++i) {
            const Eigen::Index j = cols_[static_cast<std::size_t>(i)];
            fit.a(j) = std::isfinite(z_(i)) ? z_(i) * scale_(j) : 0.0;
        }
        fit.r.noalias() = e * fit.a;
        fit.r = (p_.y - fit.r).cwiseProduct(p_.sw);
        fit.b = p_.base ? p_.sw.dot(fit.r) / p_.sw.squaredNorm() : 0.0;
        if (p_.base) fit.r -= fit.b * p_.sw;
        fit.chi2 = fit.r.squaredNorm();
        if (!std::isfinite(fit.chi2)) fit.chi2 = std::numeric_limits<double>::infinity();
        return fit.chi2;
    }

    // J^T J for the Jacobian J = P D of the residuals in the log-rates, P the
    // projection off the fitted columns (amplitudes not held at zero, and the
    // baseline): D^T D less the part of D those columns explain, through
    // their normal equations. d is overwritten.
    void NormalMatrix(const MatrixXd& e, const VectorXd& a, MatrixXd& d, MatrixXd& jtj) {
        if (p_.base) d.noalias() -= u_ * (d.transpose() * u_).transpose();
        Gram(d, jtj);
        Columns(e);
        use_.clear();
        for (Eigen::Index j = 0; j < a.size(); ++j)
            if (a(j) != 0) use_.push_back(j);
        if (use_.empty()) return;
        sub_.resize(p_.n, static_cast<Eigen::Index>(use_.size()));
        for (std::size_t i = 0; i < use_.size(); ++i) sub_.col(static_cast<Eigen::Index>(i)) = x_.col(use_[i]);
        Gram(sub_, gsub_);
        ldlt_.compute(gsub_);
        CrossProduct(sub_, d, coef_);
        sol_ = coef_;
        ldlt_.solveInPlace(sol_);
        jtj.noalias() -= coef_.transpose() * sol_;
    }

private:
    // The weighted decays with the baseline projected out.
    void Columns(const MatrixXd& e) {
        x_ = p_.sw.asDiagonal() * e;
        if (p_.base) x_.noalias() -= u_ * (x_.transpose() * u_).transpose();
    }

    const Problem& p_;
    VectorXd rhs_, u_, qtb_, z_, scale_;
    MatrixXd x_, gram_, tri_, sub_, gsub_, coef_, sol_;
    Eigen::LLT<MatrixXd> llt_;
    Eigen::LDLT<MatrixXd> ldlt_;
    Eigen::ColPivHouseholderQR<MatrixXd> qr_;
    std::vector<Eigen::Index> cols_, use_;
};

struct LmOutcome {
    Params q;
    double chi2 = 0;
    int iterations = 0;
    bool converged = false;
    std::vector<Iteration> history;  // scaled units
};

Iteration Record(const VectorXd& th, const LinearFit& fit, double damping) {
    Iteration it;
    it.chi2 = fit.chi2;
    it.damping = damping;
    it.baseline = fit.b;
    for (Eigen::Index j = 0; j < th.size(); ++j) {
        it.alpha.push_back(fit.a(j));
        it.lambda.push_back(std::exp(th(j)));
    }
    return it;
}

// Levenberg-Marquardt in the log-rates alone, the amplitudes and baseline
// projected out (Kaufman's Jacobian, BIT 15, 1975, 49), with Nielsen's
// damping (IMM-REP-1999-05, Technical University of Denmark). A rate whose
// amplitude is held at zero, or that sits at a bound of the range and is
// pushed outward, is held where it is for the step. abandonAbove: a start
// still this far above the best fit found so far after some iterations is
// leading elsewhere and is dropped.
LmOutcome Levenberg(const Problem& p, VectorXd th, double abandonAbove) {
    const Eigen::Index m = th.size();
    Projection proj(p);
    MatrixXd e, et, jac(p.n, m), jtj(m, m), lhs;
    LinearFit fit, trial;
    Eigen::LDLT<MatrixXd> ldlt;
    VectorXd g(m), d(m), delta(m), step, tt(m), gk;
    LmOutcome out;
    double chi2 = proj.Solve(th, e, fit);
    double mu = 1e-3, raise = 2;
    out.history.push_back(Record(th, fit, 0.0));
    std::vector<Eigen::Index> moving;
    for (int it = 0; it < p.maxIterations; ++it) {
        // The residuals' derivatives in the log-rates before projection,
        // D_j = a_j lambda_j sqrt(w) t exp(-lambda_j t). The residuals are
        // orthogonal to the fitted columns, so J^T r = D^T r.
        for (Eigen::Index j = 0; j < m; ++j)
            jac.col(j) = (fit.a(j) * std::exp(th(j))) * p.sw.cwiseProduct(p.t).cwiseProduct(e.col(j));
        g.noalias() = -(jac.transpose() * fit.r);
        proj.NormalMatrix(e, fit.a, jac, jtj);
        d = jtj.diagonal();
        const double dmax = std::max(d.maxCoeff(), 1e-300);
        moving.clear();
        for (Eigen::Index j = 0; j < m; ++j) {
            d(j) = std::max(d(j), 1e-12 * dmax);
            const bool held = fit.a(j) == 0 || (th(j) <= p.thLo && g(j) <= 0) || (th(j) >= p.thHi && g(j) >= 0);
            if (!held) moving.push_back(j);
        }
        const Eigen::Index k = static_cast<Eigen::Index>(moving.size());
        gk.resize(k);
        for (Eigen::Index a = 0; a < k; ++a) gk(a) = g(moving[static_cast<std::size_t>(a)]);

        bool improved = false;
        double relDecrease = 0, maxThStep = 0;
        for (int attempt = 0; k > 0 && attempt < 30 && mu < 1e14; ++attempt) {
            lhs.resize(k, k);
            for (Eigen::Index a = 0; a < k; ++a) {
                for (Eigen::Index b = 0; b < k; ++b)
                    lhs(a, b) = jtj(moving[static_cast<std::size_t>(a)], moving[static_cast<std::size_t>(b)]);
                lhs(a, a) += mu * d(moving[static_cast<std::size_t>(a)]);
            }
            ldlt.compute(lhs);
            step = gk;
            ldlt.solveInPlace(step);
            if (ldlt.info() != Eigen::Success || !step.allFinite()) {
                mu *= 10;
                continue;
            }
            delta.setZero();
            for (Eigen::Index a = 0; a < k; ++a) delta(moving[static_cast<std::size_t>(a)]) = step(a);
            const double thStep = delta.cwiseAbs().maxCoeff();
            if (thStep > 1.5) delta *= 1.5 / thStep;
            for (Eigen::Index j = 0; j < m; ++j) tt(j) = std::clamp(th(j) + delta(j), p.thLo, p.thHi);
            delta = tt - th;
            const double predicted = 2 * delta.dot(g) - delta.dot(jtj * delta);
            // A step whose predicted gain is lost in rounding: the minimum.
            if (!(predicted > 1e-14 * chi2)) break;
            trial.freeSet = fit.freeSet;
            const double c = proj.Solve(tt, et, trial, &th, &e);
            if (c < chi2) {
                // Damping relaxed the more, the better the linear model
                // predicted the decrease.
                const double gain = predicted > 0 ? (chi2 - c) / predicted : 0.0;
                mu = std::max(mu * std::max(1.0 / 3, 1 - std::pow(2 * gain - 1, 3)), 1e-12);
                raise = 2;
                relDecrease = (chi2 - c) / std::max(chi2, 1e-300);
                maxThStep = delta.cwiseAbs().maxCoeff();
                chi2 = c;
                th.swap(tt);
                std::swap(fit, trial);
                e.swap(et);
                improved = true;
                break;
            }
            mu *= raise;
            raise *= 2;
        }
        out.iterations = it + 1;
        if (!improved) {  // no step lowers chi^2 any more: a minimum within rounding
            out.converged = true;
            break;
        }
        out.history.push_back(Record(th, fit, mu));
        if (relDecrease < 1e-12 || (relDecrease < 1e-9 && maxThStep < 1e-5) || chi2 < 1e-28) {
            out.converged = true;
            break;
        }
        if (it >= 15 && chi2 > abandonAbove) break;
        // Five steps along a flat valley that together lower chi^2 by less
        // than a millionth change nothing that matters to the F-tests: stop.
        const std::size_t h = out.history.size();
        if (h > 5 && out.history[h - 6].chi2 - chi2 <= 1e-6 * chi2) {
            out.converged = true;
            break;
        }
    }
    out.q.a = fit.a;
    out.q.b = fit.b;
    out.q.th = th;
    out.chi2 = chi2;
    return out;
}

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
            VectorXd th(m);
            for (int j = 0; j < m; ++j) th(j) = std::log(st.rates[static_cast<std::size_t>(j)]);
            LmOutcome o = Levenberg(p, th, have ? 1.5 * best.chi2 : std::numeric_limits<double>::infinity());
            ++fit.tries;
            if (have && std::abs(o.chi2 - best.chi2) <= 1e-4 * best.chi2) {
                // A second start reached the same minimum, or one the F-tests
                // cannot tell from it: take the better as the best this count
                // can do and spare the remaining starts, unless it holds a
                // cancelling pair: such a pair can stand in for a component
                // of opposite sign that the starts missed.
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
        // Fitted curve and residuals in the data's units; their sum of
        // squares in scaled units, as the squares of huge ordinates overflow.
        fit.scaledChi2 = 0;
        for (Eigen::Index k = 0; k < p.n; ++k) {
            double f = fit.baseline;
            for (const Component& c : fit.comps) f += c.alpha * std::exp(std::min(-c.lambda * t[k], 700.0));
            fit.fitted.push_back(f);
            double res = std::sqrt(w[k]) * (y[k] - f);
            fit.residuals.push_back(res);
            fit.scaledChi2 += (res / yScale) * (res / yScale);
        }
        fit.chi2 = fit.scaledChi2 * yScale * yScale;
        fit.sigma = yScale * std::sqrt(fit.scaledChi2 / static_cast<double>(std::max<Eigen::Index>(p.n - np, 1)));
        const engine::SerialCorrelationTest serial = engine::TestSerialCorrelation(fit.residuals);
        fit.lagProb = serial.lagProb;
        fit.punc = serial.punc;

        // Is this fit worth listing?
        bool finite = std::isfinite(fit.scaledChi2) && std::isfinite(fit.baseline) && std::isfinite(fit.baselineErr);
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
            an.pBetter(m, n) = engine::ProbabilityBetter(an.fits[n].scaledChi2, an.fits[n].parameters, an.fits[m].scaledChi2,
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
