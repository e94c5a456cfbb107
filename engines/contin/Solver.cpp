// Constrained regularization (S. W. Provencher, Comput. Phys. Commun. 27
// (1982) 213-227 and 229-242): grid and quadrature, the problem in standard
// form, the alpha scan with non-negative least squares, statistics, peaks
// and moments.
//
// The problem is set up the way the reference listings show it: Simpson
// weights in ln g, the columns of the kernel scaled by NG over their sum and
// the constant term's column by 1/NY, the constant term held at >= 0 like
// the solution. With the regularizer scale below, ALPHA, ALPHA/S(1) and the
// singular values mean what they mean in those listings.
#include "ContinEngine.h"
#include "common/Nnls.h"
#include "common/Statistics.h"

#include <Eigen/Dense>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace fluvena::contin {

using engine::FCdf;
using Mat = Eigen::MatrixXd;
using Vec = Eigen::VectorXd;

namespace {

// The first ALPHA/S(1) of the scan (the reference program's figure for the
// precision of its arithmetic) and the highest top of the coarse steps; six
// solutions spaced evenly in ln(alpha) cover the range. The top comes down
// in half-decades (at most kCoarseTopSteps of them) until the unconstrained
// problem keeps kTopDof degrees of freedom beyond the unregularized ones.
// In the nine reference listings that count is 1.49 to 1.88 at the top the
// reference chose (10^-5.5 in seven, 10^-6 and 10^-6.5 in two) and 0.99 to
// 1.24 a half-decade above it; kTopDof lies between.
constexpr double kFirstRatio = 1.49e-15;
constexpr double kCoarseTop = 3.1622776601683795e-6;  // 10^-5.5
constexpr int kCoarseSteps = 6;
constexpr int kCoarseTopSteps = 12;
constexpr double kTopDof = 1.37;

// The regularizer in scaled variables is (NG + 3) / 4 times the plain
// differences, and the constant term carries a ridge of kBaselineRidge
// times that. The listings' singular values are those of this standard form
// (to 0.03 % for NG 80 and 100) and their first one, S(1), is the constant
// term's, 1 / (sqrt(NY) * ridge), so that ALPHA/S(1) fixes the smoothing
// whatever the scale.
constexpr double kBaselineRidge = 4.882e-8;

// The signal-weighted regularizer (measured over seeded surveys, see the
// quality tests; its constant term is held at >= 0 like the classic one's,
// a free one did worse on close pairs and broad distributions): the weight
// of its zero-order term, and the least relative signal it works with.
constexpr double kSignalZeroOrder = 2.5;
constexpr double kSignalMinSeen = 1e-12;

// A numerator with fewer degrees of freedom than this makes the reference
// print PROB2 TO REJECT = 1.000.
constexpr double kProb2MinDof = 0.1;

Mat Differences(int n, int order, int zl, int zr) {
    const int ext = n + zl + zr;
    std::vector<double> stencil(static_cast<size_t>(order) + 1);
    // Binomial coefficients with alternating signs.
    for (int i = 0; i <= order; ++i) {
        double b = 1.0;
        for (int k = 1; k <= i; ++k) b = b * (order - k + 1) / k;
        stencil[static_cast<size_t>(i)] = ((order - i) % 2 == 0) ? b : -b;
    }
    std::vector<Eigen::RowVectorXd> rows;
    for (int start = 0; start + order < ext; ++start) {
        Eigen::RowVectorXd row = Eigen::RowVectorXd::Zero(n);
        bool any = false;
        for (int i = 0; i <= order; ++i) {
            int real = start + i - zl;
            if (real >= 0 && real < n) {
                row(real) = stencil[static_cast<size_t>(i)];
                any = true;
            }
        }
        if (any) rows.push_back(row);
    }
    Mat r(static_cast<Eigen::Index>(rows.size()), n);
    for (size_t i = 0; i < rows.size(); ++i) r.row(static_cast<Eigen::Index>(i)) = rows[i];
    return r;
}

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

// Whether the constrained problem at one alpha can be solved the way the
// reference solves it: as a least-distance problem whose dual is a
// non-negative least-squares problem, min |E u - f|, u >= 0 (Lawson and
// Hanson, Solving Least Squares Problems, 1974, chapters 23 and 24), by
// their algorithm with Householder transformations for entering columns and
// Givens rotations for leaving ones, limited to 3 m solves of the
// triangular system for m columns. Near the precision of the arithmetic the
// limit is reached; the reference then drops that alpha, and its reference
// solution is the first that passes.
bool LeastDistanceConverges(Mat E, Vec f) {
    const Eigen::Index rows = E.rows(), n = E.cols();
    const int limit = 3 * static_cast<int>(n);
    Vec x = Vec::Zero(n), w = Vec::Zero(n), z(rows);
    std::vector<Eigen::Index> index(static_cast<size_t>(n));
    for (Eigen::Index i = 0; i < n; ++i) index[static_cast<size_t>(i)] = i;
    Eigen::Index firstZ = 0, nsetp = 0;  // index[0, nsetp) is the passive set, index[firstZ, n) the others
    int solves = 0;
    auto backSolve = [&]() {
        z = f;
        for (Eigen::Index l = nsetp - 1; l >= 0; --l) {
            const Eigen::Index j = index[static_cast<size_t>(l)];
            z(l) /= E(l, j);
            z.head(l) -= E.col(j).head(l) * z(l);
        }
    };
    Vec essential(rows);
    for (int outer = 0; outer <= limit; ++outer) {
        if (firstZ >= n || nsetp >= rows) return true;
        for (Eigen::Index iz = firstZ; iz < n; ++iz) {
            const Eigen::Index j = index[static_cast<size_t>(iz)];
            w(j) = E.col(j).tail(rows - nsetp).dot(f.tail(rows - nsetp));
        }
        // The column with the largest dual value that is independent of the
        // passive ones and whose coefficient comes out positive.
        Eigen::Index izmax = -1, j = -1;
        double tau = 0.0, beta = 0.0;
        for (;;) {
            double wmax = 0.0;
            izmax = -1;
            for (Eigen::Index iz = firstZ; iz < n; ++iz)
                if (w(index[static_cast<size_t>(iz)]) > wmax) {
                    wmax = w(index[static_cast<size_t>(iz)]);
                    izmax = iz;
                }
            if (izmax < 0) return true;
            j = index[static_cast<size_t>(izmax)];
            const double unorm = E.col(j).head(nsetp).norm();
            Vec seg = E.col(j).tail(rows - nsetp);
            auto ess = essential.head(rows - nsetp - 1);
            seg.makeHouseholder(ess, tau, beta);
            if ((unorm + std::fabs(beta) * 0.01) - unorm > 0.0) {
                Vec zt = f.tail(rows - nsetp);
                double work = 0.0;
                zt.applyHouseholderOnTheLeft(ess, tau, &work);
                if (zt(0) / beta > 0.0) break;
            }
            w(j) = 0.0;
        }
        {
            auto ess = essential.head(rows - nsetp - 1);
            Vec work(1);
            f.tail(rows - nsetp).applyHouseholderOnTheLeft(ess, tau, work.data());
            std::swap(index[static_cast<size_t>(izmax)], index[static_cast<size_t>(firstZ)]);
            ++firstZ;
            for (Eigen::Index jz = firstZ; jz < n; ++jz) {
                auto col = E.col(index[static_cast<size_t>(jz)]).tail(rows - nsetp);
                col.applyHouseholderOnTheLeft(ess, tau, work.data());
            }
            E(nsetp, j) = beta;
            E.col(j).tail(rows - nsetp - 1).setZero();
            ++nsetp;
            w(j) = 0.0;
        }
        backSolve();
        for (;;) {
            if (++solves > limit) return false;
            double step = 2.0;
            Eigen::Index leave = -1;
            for (Eigen::Index ip = 0; ip < nsetp; ++ip) {
                const Eigen::Index l = index[static_cast<size_t>(ip)];
                if (z(ip) <= 0.0) {
                    const double t = -x(l) / (z(ip) - x(l));
                    if (step > t) {
                        step = t;
                        leave = ip;
                    }
                }
            }
            if (leave < 0) break;
            for (Eigen::Index ip = 0; ip < nsetp; ++ip) {
                const Eigen::Index l = index[static_cast<size_t>(ip)];
                x(l) += step * (z(ip) - x(l));
            }
            // Move the column out, and with it any other that rounding left
            // at or below zero; rotations restore the triangle. A rotation
            // of rows jq - 1 and jq changes only the column moved out and
            // those from position jq - 1 on: the triangle's columns before
            // it are zero in both rows.
            while (leave >= 0) {
                const Eigen::Index out = index[static_cast<size_t>(leave)];
                x(out) = 0.0;
                for (Eigen::Index jq = leave + 1; jq < nsetp; ++jq) {
                    const Eigen::Index ii = index[static_cast<size_t>(jq)];
                    index[static_cast<size_t>(jq - 1)] = ii;
                    Eigen::JacobiRotation<double> g;
                    g.makeGivens(E(jq - 1, ii), E(jq, ii));
                    // (x, y) <- (c x - s y, s x + c y), G^T applied on the left.
                    const double c = g.c(), s = g.s(), ms = -s;
                    auto rotate = [&](Eigen::Index col) {
                        double* column = E.col(col).data();
                        const double xi = column[jq - 1], yi = column[jq];
                        column[jq - 1] = c * xi + ms * yi;
                        column[jq] = -ms * xi + c * yi;
                    };
                    // index[jq] still holds ii until the next step moves
                    // its successor down.
                    rotate(out);
                    rotate(ii);
                    for (Eigen::Index q = jq + 1; q < n; ++q) rotate(index[static_cast<size_t>(q)]);
                    f.applyOnTheLeft(jq - 1, jq, g.adjoint());
                    E(jq, ii) = 0.0;
                }
                --nsetp;
                --firstZ;
                index[static_cast<size_t>(firstZ)] = out;
                leave = -1;
                for (Eigen::Index q = 0; q < nsetp; ++q)
                    if (x(index[static_cast<size_t>(q)]) <= 0.0) {
                        leave = q;
                        break;
                    }
            }
            backSolve();
        }
        for (Eigen::Index ip = 0; ip < nsetp; ++ip) x(index[static_cast<size_t>(ip)]) = z(ip);
    }
    return false;
}

double NormalCdf(double z) {
    if (!std::isfinite(z)) return z > 0 ? 1.0 : 0.0;
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

// The problem in scaled variables x_s (the solution is varScale .* x_s):
// min |y - A x_s|^2 + alpha^2 |Rg x_s|^2 over x_s >= 0, and its standard
// form. With C = H Psi Z^T K (C the triangular factor of A, K that of Rg),
// zeta = Z^T K x_s = W x_s turns it into
// |gamma - Psi zeta|^2 + alpha^2 |zeta|^2, so that every alpha needs only
// a diagonal scaling of W.
struct Problem {
    int ny = 0, ng = 0, n = 0;  // points, grid points, variables (grid + constant term)
    bool baseline = false;      // the constant term is variable n - 1
    bool nonneg = true;
    Mat A;          // NY x n, scaled, rows times the square roots of the weights
    Vec y;          // the ordinates times the square roots of the weights
    Vec sw;         // square roots of the weights (all 1 without IWT 4)
    double s1 = 1.0;  // S(1): the unit of ALPHA/S(1)
    Vec varScale;   // x = varScale .* x_s
    Mat Rg;         // regularizer on x_s
    Vec psi, gamma; // singular values of C K^-1 and the data in their basis
    Mat W;          // Z^T K
    Mat G0;         // K^-1 Z = W^-1 (for the least-distance form)
};

struct Raw {  // one alpha's solution in scaled variables with its statistics
    double alpha = 0;
    Vec xs;
    std::vector<int> free;  // variables not held at zero by the constraints
    double V = 0, regNorm2 = 0, ndf = 0;
    Mat Gs;                 // covariance factor on the free variables: Cov(x_s) = sigma^2 Gs^T Gs
    Vec fit;
};

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

Moments MakeMoments(const Raw& r, const Problem& P, const std::vector<double>& g, const std::vector<double>& c,
                    const std::vector<double>& s, double sigma2, int first, int last) {
    Moments m;
    m.first = first;
    m.last = last;
    const size_t n = g.size();
    for (int J = -1; J <= 3; ++J) {
        std::vector<double> w(n, 0.0);
        double sum = 0.0;
        for (int i = first; i <= last; ++i) {
            w[static_cast<size_t>(i)] = c[static_cast<size_t>(i)] * std::pow(g[static_cast<size_t>(i)], J);
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

    for (auto [a, b] : SplitPeaks(out.s)) out.peaks.push_back(MakeMoments(r, P, g, c, out.s, sigma2, a, b));
    out.entire = MakeMoments(r, P, g, c, out.s, sigma2, 0, static_cast<int>(n) - 1);

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
    // PUNCOR: for lags 1 to 5, the probability of a correlation at least as
    // large in magnitude between the residuals and the same residuals
    // shifted by the lag, if they were uncorrelated: the correlation
    // coefficient of the pairs and its two-sided Student t test with
    // (pairs - 2) degrees of freedom.
    for (int lag = 1; lag <= 5; ++lag) {
        double& p = out.puncor[static_cast<size_t>(lag - 1)];
        const int m = P.ny - lag;
        p = 1.0;
        if (m < 3) continue;
        const auto a = res.head(m), b = res.tail(m);
        const Vec ac = a.array() - a.mean(), bc = b.array() - b.mean();
        const double den = std::sqrt(ac.squaredNorm() * bc.squaredNorm());
        if (!(den > 0.0)) continue;
        const double rho = std::clamp(ac.dot(bc) / den, -1.0, 1.0);
        if (std::fabs(rho) >= 1.0) {
            p = 0.0;
            continue;
        }
        const double t = std::fabs(rho) * std::sqrt((m - 2) / (1.0 - rho * rho));
        try {
            p = 2.0 * boost::math::cdf(boost::math::complement(boost::math::students_t_distribution<double>(m - 2), t));
        } catch (...) {
            p = 0.0;
        }
    }
    return out;
}

}  // namespace

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

namespace {

// The signal-weighted regularizer on the scaled grid variables.
//
// Second differences (D) of u_m = |K_m| w_m^1.5 s_m: |K_m| the signal a unit
// of intensity at grid point m puts into the data (the kernel's column, with
// the constant term projected out when there is one), w_m s_m the intensity
// in the cell. Smoothing the signal rather than the density keeps the
// solution where the data see it; the extra factor w_m^0.5 = (h g_m)^0.5
// makes a peak that the smoothing broadens in ln g keep its intensity-
// weighted mean decay time (for a Gaussian in ln g exactly: broadening u by
// d^2 moves the mean of ln g by -d^2/2 and raises its variance by d^2).
//
// A zero-order term kSignalZeroOrder (1/v_m - 1) w_m, in the signal units of
// the best-seen grid point, v_m = |K_m| / max |K|: nothing where the data
// see a component fully, without bound where they cannot (decayed before
// the first point, or indistinguishable from a constant).
//
// Every weight is a ratio of like quantities or scales with the time unit
// the same way, so the result does not depend on the unit; the whole is
// scaled so that its difference rows weigh what the classic ones do.
Mat SignalRegularizer(const Mat& D, const Mat& Agrid, const std::vector<double>& c, const std::vector<double>& w,
                      double sc, bool baseline, double classicScale) {
    const Eigen::Index ng = Agrid.cols();
    Vec seen(ng), a(ng);
    for (Eigen::Index m = 0; m < ng; ++m) {
        const size_t mm = static_cast<size_t>(m);
        Vec col = Agrid.col(m) / (sc * c[mm]);  // the kernel itself
        if (baseline) col.array() -= col.mean();
        seen(m) = col.norm();
        a(m) = seen(m) * std::pow(w[mm], 1.5);
    }
    Eigen::Index mb = 0;
    const double best = seen.maxCoeff(&mb);
    const double bestPerIntensity = a(mb) / w[static_cast<size_t>(mb)];
    Mat R(D.rows() + ng, ng);
    R.topRows(D.rows()) = D * a.asDiagonal();
    R.bottomRows(ng).setZero();
    for (Eigen::Index m = 0; m < ng; ++m) {
        const double v = best > 0.0 ? seen(m) / best : 0.0;
        R(D.rows() + m, m) =
            kSignalZeroOrder * (1.0 / std::max(v, kSignalMinSeen) - 1.0) * bestPerIntensity * w[static_cast<size_t>(m)];
    }
    R *= sc;  // on the scaled variables
    const double classic = classicScale * D.norm(), ours = R.topRows(D.rows()).norm();
    if (ours > 0.0 && std::isfinite(ours)) R *= classic / ours;
    return R;
}

// Grid, quadrature, kernel, scaling, regularizer and standard form.
Problem Prepare(const Deck& deck, std::vector<double>& g, std::vector<double>& c) {
    Problem P;
    P.ny = static_cast<int>(deck.t.size());
    P.ng = deck.ng;
    P.baseline = deck.nlinf > 0;
    P.nonneg = deck.dousnq;
    P.n = P.ng + (P.baseline ? 1 : 0);
    const int ng = P.ng, ny = P.ny, n = P.n;

    // Grid equally spaced in ln g; Simpson's weights in ln g (the last
    // interval by the trapezoidal rule when NG is even), so that s(g) is a
    // density in g and sum c_m s_m the total amplitude.
    g.resize(static_cast<size_t>(ng));
    c.assign(static_cast<size_t>(ng), 0.0);
    const double l0 = std::log(deck.gmnmx[0]), l1 = std::log(deck.gmnmx[1]);
    const double h = (l1 - l0) / (ng - 1);
    for (int m = 0; m < ng; ++m) g[static_cast<size_t>(m)] = std::exp(l0 + h * m);
    g.front() = deck.gmnmx[0];
    g.back() = deck.gmnmx[1];
    // The signal-weighted regularizer works with the trapezoidal rule:
    // Simpson's alternating weights make s alternate where the data say
    // little and the regularizer does not hold s itself smooth.
    std::vector<double> w(static_cast<size_t>(ng), 0.0);
    const int simpsonLast = ng % 2 == 1 ? ng - 1 : ng - 2;
    if (deck.signalRegularizer || simpsonLast < 2) {
        std::fill(w.begin(), w.end(), 1.0);
        w.front() = w.back() = 0.5;
    } else {
        for (int m = 0; m <= simpsonLast; ++m)
            w[static_cast<size_t>(m)] = (m == 0 || m == simpsonLast) ? 1.0 / 3.0 : (m % 2 == 1 ? 4.0 / 3.0 : 2.0 / 3.0);
        if (simpsonLast != ng - 1) {
            w[static_cast<size_t>(ng - 2)] += 0.5;
            w[static_cast<size_t>(ng - 1)] += 0.5;
        }
    }
    for (int m = 0; m < ng; ++m) c[static_cast<size_t>(m)] = h * g[static_cast<size_t>(m)] * w[static_cast<size_t>(m)];

    // Kernel g^r23 exp(-r21 t g^r22) with the quadrature weights.
    const double r21 = deck.ruser[21], r22 = deck.ruser[22], r23 = deck.ruser[23];
    P.A.resize(ny, n);
    double sum = 0.0;
    for (int m = 0; m < ng; ++m) {
        const double gm = g[static_cast<size_t>(m)];
        const double pre = c[static_cast<size_t>(m)] * std::pow(gm, r23);
        const double gp = std::pow(gm, r22);
        for (int k = 0; k < ny; ++k) {
            double v = pre * std::exp(-r21 * deck.t[static_cast<size_t>(k)] * gp);
            if (!std::isfinite(v) || std::fabs(v) > 1e200)
                throw std::runtime_error("THE KERNEL CANNOT BE EVALUATED FOR THESE ABSCISSAE AND GRID");
            P.A(k, m) = v;
            sum += std::fabs(v);
        }
    }
    // Columns scaled by their number over their sum: the kernel's block by
    // one factor, the constant term's (all ones) by 1/NY.
    P.varScale = Vec::Ones(n);
    const double sc = sum > 0.0 && std::isfinite(sum) ? ng / sum : 1.0;
    P.A.leftCols(ng) *= sc;
    P.varScale.head(ng).setConstant(sc);
    if (P.baseline) {
        P.A.col(ng).setConstant(1.0 / ny);
        P.varScale(ng) = 1.0 / ny;
    }
    P.y.resize(ny);
    for (int k = 0; k < ny; ++k) P.y(k) = deck.y[static_cast<size_t>(k)];
    // Weighted least squares, min sum w_k (y_k - (A x)_k)^2: rows and data
    // times sqrt(w_k), the weights taken to a mean of 1 so that the constant
    // term's singular value, S(1), keeps its meaning.
    P.sw = Vec::Ones(ny);
    if (deck.w.size() == static_cast<size_t>(ny)) {
        const Eigen::Map<const Vec> w(deck.w.data(), ny);
        P.sw = (w / w.mean()).cwiseSqrt();
        P.A = P.sw.asDiagonal() * P.A;
        P.y = P.y.cwiseProduct(P.sw);
    }

    // Regularizer.
    const double scale = (ng + 3) / 4.0;
    Mat D = Differences(ng, deck.norder, deck.nendz[0], deck.nendz[1]);
    if (deck.nendz[0] + deck.nendz[1] < deck.norder || D.rows() < ng) {
        // With fewer zero points than the order, low-degree polynomials
        // escape the regularizer; a weak ridge keeps it of full rank.
        Mat aug(D.rows() + ng, ng);
        aug.topRows(D.rows()) = D;
        aug.bottomRows(ng) = 1e-3 * Mat::Identity(ng, ng);
        D = aug;
    }
    Mat Dg = scale * D;
    if (deck.signalRegularizer) {
        std::vector<double> smooth(static_cast<size_t>(ng));
        for (int m = 0; m < ng; ++m) smooth[static_cast<size_t>(m)] = h * g[static_cast<size_t>(m)];
        Dg = SignalRegularizer(D, P.A.leftCols(ng), c, smooth, sc, P.baseline, scale);
    }
    P.Rg = Mat::Zero(Dg.rows() + (P.baseline ? 1 : 0), n);
    P.Rg.topLeftCorner(Dg.rows(), ng) = Dg;
    if (P.baseline) P.Rg(Dg.rows(), ng) = kBaselineRidge * scale;

    // Standard form.
    Mat C = Mat::Zero(n, n);
    Vec d = Vec::Zero(n);
    if (ny > n) {
        Eigen::HouseholderQR<Mat> qa(P.A);
        C = qa.matrixQR().topRows(n).triangularView<Eigen::Upper>();
        d = (qa.householderQ().transpose() * P.y).head(n);
    } else {
        C.topRows(ny) = P.A;
        d.head(ny) = P.y;
    }
    Eigen::HouseholderQR<Mat> qr(P.Rg);
    const Mat K = qr.matrixQR().topRows(n).triangularView<Eigen::Upper>();
    // B = C K^-1, from K^T B^T = C^T.
    const Mat B = K.transpose().triangularView<Eigen::Lower>().solve(C.transpose()).transpose();
    Eigen::BDCSVD<Mat> svd(B, Eigen::ComputeThinU | Eigen::ComputeThinV);
    P.psi = svd.singularValues();
    for (Eigen::Index i = 0; i < P.psi.size(); ++i)
        if (!std::isfinite(P.psi(i))) P.psi(i) = 0.0;
    P.gamma = svd.matrixU().transpose() * d;
    P.W = svd.matrixV().transpose() * K.triangularView<Eigen::Upper>();
    P.G0 = K.triangularView<Eigen::Upper>().solve(svd.matrixV());
    if (P.psi.size() > 0 && P.psi(0) > 0.0 && std::isfinite(P.psi(0))) P.s1 = P.psi(0);
    return P;
}

// The top of the coarse scan: the largest ALPHA/S(1) of the half-decades
// 10^-5.5, 10^-6, ... at which the unconstrained problem keeps at least
// kTopDof degrees of freedom, sum s_i^2 / (s_i^2 + alpha^2) over the
// singular values of the standard form, beyond its unregularized variables.
double CoarseTop(const Problem& P) {
    const double unregularized = P.baseline ? 1.0 : 0.0;
    double top = kCoarseTop;
    for (int k = 0; k < kCoarseTopSteps; ++k, top /= std::sqrt(10.0)) {
        const double alpha2 = (top * P.s1) * (top * P.s1);
        double ndf = 0.0;
        for (Eigen::Index i = 0; i < P.psi.size(); ++i) {
            const double s2 = P.psi(i) * P.psi(i);
            if (s2 > 0.0) ndf += s2 / (s2 + alpha2);
        }
        if (ndf - unregularized >= kTopDof) break;
    }
    return top;
}

// The least-distance form at one alpha: the constraints x_s >= 0 on
// xi = diag(pt) zeta - w with |xi| minimal, as the matrix E = [G^T; h^T]
// and f = e_(n+1) of its dual.
bool ReferenceSolvable(const Problem& P, double alpha) {
    const Eigen::Index n = P.n;
    const Vec pt = (P.psi.array().square() + alpha * alpha).sqrt();
    Vec wv(n);
    for (Eigen::Index i = 0; i < n; ++i) wv(i) = pt(i) > 0.0 ? P.psi(i) * P.gamma(i) / pt(i) : 0.0;
    const Mat G = P.G0 * pt.cwiseInverse().asDiagonal();
    Mat E(n + 1, n);
    E.topRows(n) = G.transpose();
    E.row(n) = -(G * wv).transpose();
    Vec f = Vec::Zero(n + 1);
    f(n) = 1.0;
    if (!E.allFinite()) return false;
    return LeastDistanceConverges(std::move(E), std::move(f));
}

}  // namespace

namespace {

// The whole analysis: the reference solution, then either the given ALPHA/S(1)
// values or the coarse steps and the refinement toward targetProb1.
Result Run(const Deck& deck, double targetProb1, const std::vector<double>* given, double referenceRatio) {
    targetProb1 = std::isfinite(targetProb1) ? std::clamp(targetProb1, 0.01, 0.99) : 0.5;
    Result res;
    const Problem P = Prepare(deck, res.g, res.c);
    res.singularValues.assign(P.psi.data(), P.psi.data() + P.psi.size());
    const double s1 = P.s1;

    // The coarse steps; the reference solution is the first whose
    // constrained problem the reference's method solves.
    std::vector<double> coarse;
    const double top = CoarseTop(P);
    for (int k = 0; k < kCoarseSteps; ++k)
        coarse.push_back(std::exp(std::log(kFirstRatio) +
                                  k * (std::log(top) - std::log(kFirstRatio)) / (kCoarseSteps - 1)));
    size_t first = 0;
    if (referenceRatio > 0.0) {
        coarse.insert(coarse.begin(), referenceRatio);
    } else if (P.nonneg) {
        while (first + 1 < coarse.size() && !ReferenceSolvable(P, coarse[first] * s1)) {
            res.skippedRatios.push_back(coarse[first]);
            ++first;
        }
    }

    std::vector<Raw> raws;
    std::vector<int> warm;
    std::vector<double> ratios, probs;
    double V0 = 0.0, ndf0 = 0.0;
    auto scan = [&](double ratio) {
        raws.push_back(SolveAlpha(P, ratio * s1, warm));
        if (raws.size() == 1) {
            V0 = raws[0].V;
            ndf0 = raws[0].ndf;
        }
        ratios.push_back(ratio);
        probs.push_back(raws.size() == 1 ? 0.0 : Prob1(raws.back().V, V0, ndf0, P.ny));
    };
    if (given) {
        scan(coarse[first]);
        for (double ratio : *given)
            if (ratio > 0.0 && std::isfinite(ratio)) scan(ratio);
    } else {
        for (size_t k = first; k < coarse.size(); ++k) scan(coarse[k]);
    }

    // Refinement of ln(alpha) toward the target PROB1 between the nearest
    // solutions on either side of it: interpolation of logit(PROB1) where
    // both ends lie on the rise, halving where one end is flat (PROB1 0 or 1
    // says little about where the rise is).
    const int kMaxSolutions = 12;
    auto refine = [&]() {
        int lo = -1, hi = -1;
        for (size_t i = 0; i < probs.size(); ++i) {
            if (probs[i] <= targetProb1 && (lo < 0 || ratios[i] > ratios[static_cast<size_t>(lo)])) lo = static_cast<int>(i);
        }
        for (size_t i = 0; i < probs.size(); ++i) {
            if (probs[i] > targetProb1 && (lo < 0 || ratios[i] > ratios[static_cast<size_t>(lo)]) &&
                (hi < 0 || ratios[i] < ratios[static_cast<size_t>(hi)]))
                hi = static_cast<int>(i);
        }
        if (lo < 0 || hi < 0) return false;
        const double ul = std::log(ratios[static_cast<size_t>(lo)]), uh = std::log(ratios[static_cast<size_t>(hi)]);
        if (uh - ul < 1e-3) return false;
        const double pl = probs[static_cast<size_t>(lo)], ph = probs[static_cast<size_t>(hi)];
        double u = 0.5 * (ul + uh);
        if (pl > 0.01 && ph < 0.99) {
            auto logit = [](double p) { return std::log(p / (1.0 - p)); };
            const double fl = logit(pl), fh = logit(ph), ft = logit(targetProb1);
            if (fh > fl) u = ul + (ft - fl) * (uh - ul) / (fh - fl);
            const double margin = 0.1 * (uh - ul);
            u = std::clamp(u, ul + margin, uh - margin);
        }
        scan(std::exp(u));
        return std::fabs(probs.back() - targetProb1) > 1e-3;
    };
    while (!given && static_cast<int>(raws.size()) < kMaxSolutions && refine()) {
    }
    // When the target was met in few steps, spread more solutions over the
    // rise of PROB1 (each between the two neighbours in alpha whose PROB1
    // differ most), so that the solutions a user browses show how the
    // distribution changes with the smoothing; where PROB1 does not rise
    // at all (data the constraints leave nothing to fit), into the widest
    // gap in alpha.
    const int kMinSolutions = 10;
    while (!given && static_cast<int>(raws.size()) < kMinSolutions) {
        std::vector<size_t> order(ratios.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ratios[a] < ratios[b]; });
        double widest = 0.0, widestGap = 0.0;
        double mid = 0.0, gapMid = 0.0;
        for (size_t k = 1; k < order.size(); ++k) {
            const size_t a = order[k - 1], b = order[k];
            const double rise = std::fabs(probs[b] - probs[a]), gap = std::log(ratios[b] / ratios[a]);
            if (rise > widest && gap > 1e-3) {
                widest = rise;
                mid = std::sqrt(ratios[a] * ratios[b]);
            }
            if (gap > widestGap) {
                widestGap = gap;
                gapMid = std::sqrt(ratios[a] * ratios[b]);
            }
        }
        if (!(widest > 1e-3)) mid = gapMid;
        if (!(mid > 0.0)) break;
        scan(mid);
    }

    int best = 0;
    for (size_t i = 0; i < raws.size(); ++i) {
        res.solutions.push_back(Finish(P, raws[i], res.g, res.c, s1, V0, ndf0));
        res.solutions.back().reference = (i == 0);
        if (std::fabs(res.solutions[i].prob1 - targetProb1) <
            std::fabs(res.solutions[static_cast<size_t>(best)].prob1 - targetProb1))
            best = static_cast<int>(i);
    }
    res.chosen = best;
    return res;
}

}  // namespace

Result Solve(const Deck& deck, double targetProb1) { return Run(deck, targetProb1, nullptr, 0.0); }

Result SolveAt(const Deck& deck, const std::vector<double>& ratios, double referenceRatio) {
    return Run(deck, 0.5, &ratios, referenceRatio);
}

}  // namespace fluvena::contin
