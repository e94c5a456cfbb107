// One alpha's constrained solution of the problem in standard form and its
// statistics: degrees of freedom, standard errors, PROB1 and PROB2 TO REJECT
// (F tests against the reference solution), peaks with their moments, and
// the randomness of the residuals.
#include "StandardForm.h"
#include "common/Nnls.h"
#include "common/Statistics.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <boost/math/distributions/normal.hpp>

namespace fluvena::contin {
namespace detail {

using engine::FCdf;

namespace {

// A numerator with fewer degrees of freedom than this makes the reference
// print PROB2 TO REJECT = 1.000.
constexpr double kProb2MinDof = 0.1;

// Non-negative least squares from the previous alpha's free set; `passive`
// returns the new one. The columns are scaled to unit length: the
// constraint x >= 0 is unchanged and the steps are far better conditioned.
// For alpha > 0 the columns of the standard form are independent, so the
// factorization is updated from one free set to the next.
Vec Nnls(const Mat& M, const Vec& b, std::vector<int>& passive) {
    const Eigen::Index n = M.cols();
    Vec scale(n);
    Mat Ms = M;
    for (Eigen::Index j = 0; j < n; ++j) {
        const double nj = M.col(j).norm();
        scale(j) = nj > 0.0 && std::isfinite(nj) ? nj : 1.0;
        Ms.col(j) /= scale(j);
    }
    engine::NnlsResult r = engine::SolveNnls(Ms, b, passive, 0, engine::NnlsUpdates::Updated);
    passive = r.passive;
    Vec x = r.x.cwiseQuotient(scale);
    for (Eigen::Index j = 0; j < n; ++j)
        if (!(x(j) > 0.0) || !std::isfinite(x(j))) x(j) = 0.0;
    return x;
}

double NormalCdf(double z) {
    if (!std::isfinite(z)) return z > 0 ? 1.0 : 0.0;
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

}  // namespace

Raw SolveAlpha(const Problem& P, double alpha, std::vector<int>& warm) {
    Raw r;
    r.alpha = alpha;
    const Eigen::Index n = P.n;
    const Vec pt = (P.psi.array().square() + alpha * alpha).sqrt();
    Vec rhs(n);
    for (Eigen::Index i = 0; i < n; ++i) rhs(i) = pt(i) > 0.0 ? P.psi(i) * P.gamma(i) / pt(i) : 0.0;
    const Mat M = pt.asDiagonal() * P.W;
    if (P.nonneg) {
        r.xs = Nnls(M, rhs, warm);
        // Variables whose share of the fit and of the penalty lies below the
        // rounding of the transformed problem are zeros the arithmetic could
        // not resolve, and so is a distribution whose whole share of the fit
        // does; the others are solved again without them.
        const double negligible = 1e-9 * P.y.norm();
        const bool nothing = (P.A.leftCols(P.ng) * r.xs.head(P.ng)).norm() <= negligible;
        Mat kept;
        for (Eigen::Index j = 0; j < n; ++j)
            if (r.xs(j) > 0.0 && ((nothing && j < P.ng) ||
                                  std::hypot(P.A.col(j).norm(), alpha * P.Rg.col(j).norm()) * r.xs(j) <= negligible)) {
                if (kept.size() == 0) kept = M;
                kept.col(j).setZero();
                r.xs(j) = 0.0;
            }
        if (kept.size() != 0) {
            std::vector<int> keep;
            for (int j : warm)
                if (r.xs(j) > 0.0) keep.push_back(j);
            warm = keep;
            r.xs = Nnls(kept, rhs, warm);
        }
        for (Eigen::Index j = 0; j < n; ++j)
            if (r.xs(j) > 0.0) r.free.push_back(static_cast<int>(j));
    } else {
        r.xs = M.householderQr().solve(rhs);
        for (Eigen::Index j = 0; j < n; ++j) r.free.push_back(static_cast<int>(j));
        warm = r.free;
    }
    for (Eigen::Index j = 0; j < n; ++j)
        if (!std::isfinite(r.xs(j))) r.xs(j) = 0.0;
    r.fit = P.A * r.xs;
    r.V = (P.y - r.fit).squaredNorm();
    r.regNorm2 = (P.Rg * r.xs).squaredNorm();

    // Degrees of freedom of the problem restricted to the free variables,
    // the trace of A_F (A_F^T A_F + alpha^2 Rg_F^T Rg_F)^-1 A_F^T: with
    // M_F = Q T, it is |Psi W_F T^-1|^2. The covariance of the regularized
    // estimate is sigma^2 (X T^-T)^T (X T^-T) with X = Psi W_F T^-1.
    const Eigen::Index k = static_cast<Eigen::Index>(r.free.size());
    if (k > 0) {
        Mat MF(n, k), NF(n, k);
        for (Eigen::Index i = 0; i < k; ++i) {
            MF.col(i) = M.col(r.free[static_cast<size_t>(i)]);
            NF.col(i) = P.psi.asDiagonal() * P.W.col(r.free[static_cast<size_t>(i)]);
        }
        Eigen::HouseholderQR<Mat> qr(MF);
        const auto T = qr.matrixQR().topRows(k).triangularView<Eigen::Upper>();
        const Mat Xt = T.transpose().solve(NF.transpose());  // X^T = T^-T NF^T
        r.ndf = Xt.squaredNorm();
        r.Gs = T.solve(Xt).transpose();                       // Gs^T = T^-1 X^T
    }
    return r;
}

// Variance factor (without sigma^2) and covariance of linear functionals of x.
Vec Project(const Raw& r, const Problem& P, const std::vector<double>& w) {
    if (r.Gs.size() == 0) return Vec::Zero(1);
    Vec wf(static_cast<Eigen::Index>(r.free.size()));
    for (size_t i = 0; i < r.free.size(); ++i) {
        const int j = r.free[i];
        wf(static_cast<Eigen::Index>(i)) = j < P.ng ? w[static_cast<size_t>(j)] * P.varScale(j) : 0.0;
    }
    return r.Gs * wf;
}

// The weights c_m g_m^J of the moments M(J), J = -1 ... 3, at every grid
// point (row J + 1).
using MomentWeights = std::array<std::vector<double>, 5>;

MomentWeights MakeMomentWeights(const std::vector<double>& g, const std::vector<double>& c) {
    MomentWeights cw;
    for (int J = -1; J <= 3; ++J) {
        std::vector<double>& w = cw[static_cast<size_t>(J + 1)];
        w.resize(g.size());
        for (size_t i = 0; i < g.size(); ++i) w[i] = c[i] * std::pow(g[i], J);
    }
    return cw;
}

Moments MakeMoments(const Raw& r, const Problem& P, const MomentWeights& cw, const std::vector<double>& s,
                    double sigma2, int first, int last) {
    Moments m;
    m.first = first;
    m.last = last;
    const size_t n = s.size();
    for (int J = -1; J <= 3; ++J) {
        const std::vector<double>& cwJ = cw[static_cast<size_t>(J + 1)];
        std::vector<double> w(n, 0.0);
        double sum = 0.0;
        for (int i = first; i <= last; ++i) {
            w[static_cast<size_t>(i)] = cwJ[static_cast<size_t>(i)];
            sum += w[static_cast<size_t>(i)] * s[static_cast<size_t>(i)];
        }
        const size_t jj = static_cast<size_t>(J + 1);
        m.m[jj] = sum;
        const double sd = std::sqrt(sigma2 * Project(r, P, w).squaredNorm());
        m.mErr[jj] = sum != 0.0 ? 100.0 * sd / std::fabs(sum) : 0.0;
    }
    // A ratio's percent error is the sum of the two moments' percent errors
    // (a bound that holds whatever their correlation), as the reference
    // listings print it.
    for (size_t jj = 1; jj < 5; ++jj) {
        const double a = m.m[jj], bb = m.m[jj - 1];
        m.ratio[jj] = bb != 0.0 ? a / bb : 0.0;
        m.ratioErr[jj] = m.mErr[jj] + m.mErr[jj - 1];
    }
    double m0 = m.m[1], m1 = m.m[2], m2 = m.m[3];
    double q = (m1 != 0.0) ? m2 * m0 / (m1 * m1) - 1.0 : 0.0;
    m.sdOverMean = q > 0.0 && std::isfinite(q) ? std::sqrt(q) : 0.0;
    return m;
}

// PROB1 TO REJECT: the F test of the reference solution against this one
// with the reference's degrees of freedom in the numerator.
double Prob1(double V, double V0, double ndf0, int ny) {
    const double d2 = ny - ndf0;
    if (!(ndf0 > 0.0) || !(d2 > 0.0) || !(V0 > 0.0)) return V > V0 * (1.0 + 1e-12) ? 1.0 : 0.0;
    return FCdf(((V - V0) / ndf0) / (V0 / d2), ndf0, d2);
}

// PROB2 TO REJECT: the same test with the degrees of freedom the reference
// solution has beyond this one's; 1 when it has (next to) none beyond.
double Prob2(double V, double ndf, double V0, double ndf0, int ny) {
    const double d1 = ndf0 - ndf, d2 = ny - ndf0;
    if (!(d1 >= kProb2MinDof) || !(d2 > 0.0) || !(V0 > 0.0)) return 1.0;
    return FCdf(((V - V0) / d1) / (V0 / d2), d1, d2);
}

Solution Finish(const Problem& P, const Raw& r, const std::vector<double>& g, const std::vector<double>& c, double s1,
                double V0, double ndf0) {
    Solution out;
    out.alpha = r.alpha;
    out.alphaRatio = s1 > 0.0 ? r.alpha / s1 : 0.0;
    out.variance = r.V;
    out.objective = r.V + r.alpha * r.alpha * r.regNorm2;
    out.degFreedom = r.ndf;
    const double dof = std::max(1.0, P.ny - r.ndf);
    const double sigma2 = r.V / dof;
    out.stdDev = std::sqrt(sigma2);
    out.prob1 = Prob1(r.V, V0, ndf0, P.ny);
    out.prob2 = Prob2(r.V, r.ndf, V0, ndf0, P.ny);

    const size_t n = g.size();
    out.s.resize(n);
    out.sErr.assign(n, 0.0);
    for (size_t j = 0; j < n; ++j) out.s[j] = r.xs(static_cast<Eigen::Index>(j)) * P.varScale(static_cast<Eigen::Index>(j));
    std::vector<double> colErr(static_cast<size_t>(P.n), 0.0);
    for (size_t i = 0; i < r.free.size() && static_cast<Eigen::Index>(i) < r.Gs.cols(); ++i)
        colErr[static_cast<size_t>(r.free[i])] = std::sqrt(sigma2) * r.Gs.col(static_cast<Eigen::Index>(i)).norm();
    for (size_t j = 0; j < n; ++j) out.sErr[j] = colErr[j] * P.varScale(static_cast<Eigen::Index>(j));
    if (P.baseline) {
        const Eigen::Index b = P.n - 1;
        out.baseline = r.xs(b) * P.varScale(b);
        out.baselineErr = colErr[static_cast<size_t>(b)] * P.varScale(b);
    }
    const Vec fit = r.fit.cwiseQuotient(P.sw);  // in the data's units
    out.fit.assign(fit.data(), fit.data() + fit.size());

    const MomentWeights cw = MakeMomentWeights(g, c);
    for (auto [a, b] : SplitPeaks(out.s)) out.peaks.push_back(MakeMoments(r, P, cw, out.s, sigma2, a, b));
    out.entire = MakeMoments(r, P, cw, out.s, sigma2, 0, static_cast<int>(n) - 1);

    // Randomness of the (weighted) residuals: runs of signs and
    // autocorrelations.
    Vec res = P.y - r.fit;
    int npos = 0, nneg = 0, runs = 0, prevSign = 0;
    for (int k = 0; k < P.ny; ++k) {
        int sg = res(k) > 0 ? 1 : (res(k) < 0 ? -1 : 0);
        if (sg == 0) continue;
        (sg > 0 ? npos : nneg)++;
        if (sg != prevSign) ++runs;
        prevSign = sg;
    }
    double nn = npos + nneg;
    if (npos > 0 && nneg > 0 && nn > 1) {
        double mu = 2.0 * npos * nneg / nn + 1.0;
        double var = 2.0 * npos * nneg * (2.0 * npos * nneg - nn) / (nn * nn * (nn - 1.0));
        out.pruns = var > 0.0 ? NormalCdf((runs - mu + 0.5) / std::sqrt(var)) : 1.0;
    } else {
        out.pruns = 0.0;
    }
    // PUNCOR: for lags 1 to 5, the probability that uncorrelated residuals
    // are as correlated, in either direction, as these (the engines' one
    // serial-correlation test); 1 for a lag too long for the points.
    const engine::SerialCorrelationTest serial =
        engine::TestSerialCorrelation(std::vector<double>(res.data(), res.data() + res.size()));
    for (size_t lag = 0; lag < out.puncor.size(); ++lag)
        out.puncor[lag] = serial.lagProb[lag] < 0.0 ? 1.0 : serial.lagProb[lag];
    return out;
}

}  // namespace detail

std::vector<std::pair<int, int>> SplitPeaks(const std::vector<double>& s) {
    const int n = static_cast<int>(s.size());
    double smax = 0.0;
    for (double v : s) smax = std::max(smax, v);
    if (!(smax > 0.0)) return {};
    // A peak begins where the solution rises again after it has fallen; it
    // keeps the minimum (or the zeros) before that rise. The first peak
    // begins at the first grid point, the last ends at the last, and the
    // fifth takes in whatever follows it. Values below kPeakZero of the
    // maximum count as zeros. This is how the reference listings delimit
    // their peaks (every one of their 60 solutions; their threshold lies
    // between 1e-7 and 1e-6).
    constexpr double kPeakZero = 5e-7;
    constexpr size_t kMaxPeaks = 5;
    const double zero = kPeakZero * smax;
    auto value = [&](int i) { return s[static_cast<size_t>(i)] > zero ? s[static_cast<size_t>(i)] : 0.0; };
    std::vector<std::pair<int, int>> peaks;
    int start = 0;
    bool fallen = false;
    for (int j = 1; j < n; ++j) {
        const double prev = value(j - 1), cur = value(j);
        if (cur < prev) {
            fallen = true;
        } else if (cur > prev && fallen) {
            if (peaks.size() + 1 < kMaxPeaks) {
                peaks.push_back({start, j - 1});
                start = j;
            }
            fallen = false;
        }
    }
    peaks.push_back({start, n - 1});
    return peaks;
}

}  // namespace fluvena::contin
