// Constrained regularization: grid, kernel, the alpha scan with
// non-negative least squares, statistics, peaks and moments.
#include "ContinEngine.h"

#include <Eigen/Dense>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace fluvena::contin {

using Mat = Eigen::MatrixXd;
using Vec = Eigen::VectorXd;

namespace {

// Regularizer: differences of order `order` of the solution extended by
// `zl` zero points before and `zr` after the grid. Rows that touch no grid
// point are left out.
Mat Regularizer(int n, int order, int zl, int zr) {
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

// Lawson-Hanson active-set non-negative least squares, min |M x - b|, x >= 0,
// with every least-squares step a Householder QR of the passive columns.
// `passive` brings a starting set (the previous alpha's) and returns the
// final one. All loops are bounded.
Vec Nnls(const Mat& M, const Vec& b, std::vector<int>& passive) {
    const Eigen::Index n = M.cols();
    Vec x = Vec::Zero(n);
    auto solveOn = [&](const std::vector<int>& P) {
        Mat MP(M.rows(), static_cast<Eigen::Index>(P.size()));
        for (size_t k = 0; k < P.size(); ++k) MP.col(static_cast<Eigen::Index>(k)) = M.col(P[k]);
        return Vec(MP.householderQr().solve(b));
    };
    std::vector<char> inP(static_cast<size_t>(n), 0);

    // Warm start: keep the columns of the previous set that stay positive.
    std::vector<int> P;
    for (int j : passive)
        if (j >= 0 && j < n) P.push_back(j);
    for (int round = 0; round < 20 && !P.empty(); ++round) {
        Vec z = solveOn(P);
        std::vector<int> Q;
        for (size_t k = 0; k < P.size(); ++k)
            if (z(static_cast<Eigen::Index>(k)) > 0.0) Q.push_back(P[k]);
        if (Q.size() == P.size()) {
            for (size_t k = 0; k < P.size(); ++k) {
                x(P[k]) = z(static_cast<Eigen::Index>(k));
                inP[static_cast<size_t>(P[k])] = 1;
            }
            break;
        }
        P = Q;
    }
    if (std::none_of(inP.begin(), inP.end(), [](char c) { return c != 0; })) P.clear();

    const double tol = 1e-13 * std::max(1.0, M.norm() * b.norm());
    std::vector<char> blocked(static_cast<size_t>(n), 0);
    const int maxOuter = 3 * static_cast<int>(n) + 20;
    for (int outer = 0; outer < maxOuter; ++outer) {
        Vec w = M.transpose() * (b - M * x);
        int t = -1;
        double wmax = tol;
        for (Eigen::Index j = 0; j < n; ++j)
            if (!inP[static_cast<size_t>(j)] && !blocked[static_cast<size_t>(j)] && w(j) > wmax) {
                wmax = w(j);
                t = static_cast<int>(j);
            }
        if (t < 0) break;
        P.push_back(t);
        inP[static_cast<size_t>(t)] = 1;
        bool changed = false;
        for (int inner = 0; inner < 3 * static_cast<int>(n) + 20; ++inner) {
            Vec z = solveOn(P);
            bool feasible = true;
            for (Eigen::Index k = 0; k < z.size(); ++k)
                if (!(z(k) > 0.0)) feasible = false;
            if (feasible) {
                for (size_t k = 0; k < P.size(); ++k) x(P[k]) = z(static_cast<Eigen::Index>(k));
                changed = true;
                break;
            }
            double step = 1.0;
            for (size_t k = 0; k < P.size(); ++k) {
                double zk = z(static_cast<Eigen::Index>(k)), xk = x(P[k]);
                if (!(zk > 0.0)) {
                    double a = (xk - zk) > 0.0 ? xk / (xk - zk) : 0.0;
                    step = std::min(step, a);
                }
            }
            if (!std::isfinite(step) || step < 0.0) step = 0.0;
            std::vector<int> keep;
            for (size_t k = 0; k < P.size(); ++k) {
                double xk = x(P[k]) + step * (z(static_cast<Eigen::Index>(k)) - x(P[k]));
                double zk = z(static_cast<Eigen::Index>(k));
                if (xk > 0.0 && !(zk <= 0.0 && xk <= 1e-14 * std::fabs(x(P[k])))) {
                    x(P[k]) = xk;
                    keep.push_back(P[k]);
                } else {
                    x(P[k]) = 0.0;
                    inP[static_cast<size_t>(P[k])] = 0;
                }
            }
            P = keep;
            if (P.empty()) break;
        }
        // A column that could not enter (rounding) is not offered again
        // until some other column changes the solution.
        if (!inP[static_cast<size_t>(t)]) blocked[static_cast<size_t>(t)] = 1;
        else if (changed) std::fill(blocked.begin(), blocked.end(), 0);
    }
    for (Eigen::Index j = 0; j < n; ++j)
        if (!(x(j) > 0.0)) x(j) = 0.0;
    passive = P;
    return x;
}

double FCdf(double f, double d1, double d2) {
    if (!(f > 0.0)) return 0.0;
    if (!std::isfinite(f)) return 1.0;
    try {
        boost::math::fisher_f_distribution<double> dist(d1, d2);
        double p = boost::math::cdf(dist, f);
        return std::isfinite(p) ? std::clamp(p, 0.0, 1.0) : 1.0;
    } catch (...) {
        return 1.0;
    }
}

double NormalCdf(double z) {
    if (!std::isfinite(z)) return z > 0 ? 1.0 : 0.0;
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

struct Setup {
    int ny = 0, ng = 0;
    Mat A;        // NY x NG: c_m K(t_k, g_m), data scaled by yScale
    Vec y;        // scaled ordinates
    double yScale = 1.0;
    Vec aMean;    // column means of A (baseline elimination)
    double yMean = 0.0;
    Mat C;        // compressed data-fit matrix (R factor of the projected A)
    Vec d;        // compressed right-hand side
    Mat Rg;       // regularizer
    bool nonneg = true;
    int nlinf = 0;
};

struct Raw {  // one alpha's solution in scaled units with its statistics
    double alpha = 0;
    Vec s;
    std::vector<int> passive;
    double V = 0, regNorm2 = 0, ndf = 0;
    Mat Gs;                 // covariance factor on the free variables: Cov = sigma^2 Gs^T Gs
    std::vector<int> free;  // the free variables (columns of Gs)
    Vec fit;
    double baseline = 0, baselineVar = 0;
};

// Singular values of the data-fit matrix in standard form for the columns F.
Vec StandardFormSingularValues(const Setup& S, const std::vector<int>& F) {
    const Eigen::Index k = static_cast<Eigen::Index>(F.size());
    if (k == 0) return Vec();
    Mat RgF(S.Rg.rows(), k), CF(S.C.rows(), k);
    for (Eigen::Index i = 0; i < k; ++i) {
        RgF.col(i) = S.Rg.col(F[static_cast<size_t>(i)]);
        CF.col(i) = S.C.col(F[static_cast<size_t>(i)]);
    }
    Eigen::HouseholderQR<Mat> qr(RgF);
    Mat U = qr.matrixQR().topRows(k).triangularView<Eigen::Upper>();
    // B = CF U^-1, i.e. B^T = U^-T CF^T.
    Mat Bt = U.transpose().triangularView<Eigen::Lower>().solve(CF.transpose());
    Mat B = Bt.transpose();
    if (B.rows() > B.cols()) {
        Eigen::HouseholderQR<Mat> qb(B);
        B = qb.matrixQR().topRows(B.cols()).triangularView<Eigen::Upper>();
    }
    Eigen::BDCSVD<Mat> svd(B);
    Vec sv = svd.singularValues();
    for (Eigen::Index i = 0; i < sv.size(); ++i)
        if (!std::isfinite(sv(i))) sv(i) = 0.0;
    return sv;
}

Raw SolveAlpha(const Setup& S, double alpha, const std::vector<int>& warm) {
    Raw r;
    r.alpha = alpha;
    const Eigen::Index ng = S.ng, rc = S.C.rows(), rr = S.Rg.rows();
    Mat M(rc + rr, ng);
    M.topRows(rc) = S.C;
    M.bottomRows(rr) = alpha * S.Rg;
    Vec b = Vec::Zero(rc + rr);
    b.head(rc) = S.d;
    // Columns scaled to unit length: the constraint x >= 0 is unchanged and
    // the least-squares steps are far better conditioned.
    Vec D(ng);
    for (Eigen::Index j = 0; j < ng; ++j) {
        double nj = M.col(j).norm();
        D(j) = nj > 0.0 && std::isfinite(nj) ? nj : 1.0;
        M.col(j) /= D(j);
    }
    Vec x;
    if (S.nonneg) {
        r.passive = warm;
        x = Nnls(M, b, r.passive);
    } else {
        x = M.householderQr().solve(b);
        r.passive.clear();
        for (int j = 0; j < ng; ++j) r.passive.push_back(j);
    }
    r.s = x.cwiseQuotient(D);
    for (Eigen::Index j = 0; j < ng; ++j)
        if (!std::isfinite(r.s(j))) r.s(j) = 0.0;

    // Free variables: those not held at zero by the constraints.
    for (int j = 0; j < ng; ++j)
        if (!S.nonneg || r.s(j) > 0.0) r.free.push_back(j);
    std::sort(r.free.begin(), r.free.end());

    // Fit, baseline, residuals.
    Vec As = S.A * r.s;
    r.baseline = S.nlinf ? S.yMean - S.aMean.dot(r.s) : 0.0;
    r.fit = As.array() + r.baseline;
    r.V = (S.y - r.fit).squaredNorm();
    r.regNorm2 = (S.Rg * r.s).squaredNorm();

    // Degrees of freedom of the restricted problem.
    Vec sv = StandardFormSingularValues(S, r.free);
    r.ndf = S.nlinf;
    for (Eigen::Index i = 0; i < sv.size(); ++i) {
        double s2 = sv(i) * sv(i);
        if (s2 > 0.0) r.ndf += s2 / (s2 + alpha * alpha);
    }

    // Covariance factor on the free variables: H = MF^T MF, s = H^-1 CF^T d,
    // Cov = sigma^2 H^-1 CF^T CF H^-1 = sigma^2 Gs^T Gs with Gs = CF H^-1.
    const Eigen::Index k = static_cast<Eigen::Index>(r.free.size());
    if (k > 0) {
        Mat MF(M.rows(), k), CF(rc, k);
        Vec DF(k);
        for (Eigen::Index i = 0; i < k; ++i) {
            int j = r.free[static_cast<size_t>(i)];
            MF.col(i) = M.col(j);
            DF(i) = D(j);
            CF.col(i) = S.C.col(j) / D(j);
        }
        Eigen::HouseholderQR<Mat> qr(MF);
        Mat T = qr.matrixQR().topRows(k).triangularView<Eigen::Upper>();
        Mat Y = T.transpose().triangularView<Eigen::Lower>().solve(CF.transpose());
        Mat Gt = T.triangularView<Eigen::Upper>().solve(Y);  // k x rc: (CF H^-1)^T in scaled variables
        for (Eigen::Index i = 0; i < k; ++i) Gt.row(i) /= DF(i);
        r.Gs = Gt.transpose();
        for (Eigen::Index i = 0; i < r.Gs.size(); ++i)
            if (!std::isfinite(r.Gs.data()[i])) r.Gs.data()[i] = 0.0;
        if (S.nlinf) {
            Vec am(k);
            for (Eigen::Index i = 0; i < k; ++i) am(i) = S.aMean(r.free[static_cast<size_t>(i)]);
            r.baselineVar = 1.0 / S.ny + (r.Gs * am).squaredNorm();
        }
    } else if (S.nlinf) {
        r.baselineVar = 1.0 / S.ny;
    }
    return r;
}

// Variance factor (without sigma^2) and covariance of linear functionals of s.
struct Functionals {
    const Raw& r;
    Vec Project(const std::vector<double>& w) const {
        Vec wf(static_cast<Eigen::Index>(r.free.size()));
        for (size_t i = 0; i < r.free.size(); ++i) wf(static_cast<Eigen::Index>(i)) = w[static_cast<size_t>(r.free[i])];
        if (r.Gs.size() == 0) return Vec::Zero(1);
        return r.Gs * wf;
    }
};

Moments MakeMoments(const Raw& r, const std::vector<double>& g, const std::vector<double>& c, double sigma2,
                    double yScale, int first, int last) {
    Moments m;
    m.first = first;
    m.last = last;
    const size_t n = g.size();
    Functionals fn{r};
    std::array<Vec, 5> proj;
    for (int J = -1; J <= 3; ++J) {
        std::vector<double> w(n, 0.0);
        double sum = 0.0;
        for (int i = first; i <= last; ++i) {
            w[static_cast<size_t>(i)] = c[static_cast<size_t>(i)] * std::pow(g[static_cast<size_t>(i)], J);
            sum += w[static_cast<size_t>(i)] * r.s(i);
        }
        size_t jj = static_cast<size_t>(J + 1);
        proj[jj] = fn.Project(w);
        m.m[jj] = sum * yScale;
        double sd = std::sqrt(sigma2 * proj[jj].squaredNorm());
        m.mErr[jj] = sum != 0.0 ? 100.0 * sd / std::fabs(sum) : 0.0;
    }
    for (size_t jj = 1; jj < 5; ++jj) {
        double a = m.m[jj], bb = m.m[jj - 1];
        m.ratio[jj] = bb != 0.0 ? a / bb : 0.0;
        double ea = m.mErr[jj] / 100.0, eb = m.mErr[jj - 1] / 100.0;
        double ma = a / yScale, mb = bb / yScale;
        double cov = (ma != 0.0 && mb != 0.0) ? sigma2 * proj[jj].dot(proj[jj - 1]) / (ma * mb) : 0.0;
        double rel2 = ea * ea + eb * eb - 2.0 * cov;
        m.ratioErr[jj] = 100.0 * std::sqrt(std::max(0.0, rel2));
    }
    double m0 = m.m[1], m1 = m.m[2], m2 = m.m[3];
    double q = (m1 != 0.0) ? m2 * m0 / (m1 * m1) - 1.0 : 0.0;
    m.sdOverMean = q > 0.0 && std::isfinite(q) ? std::sqrt(q) : 0.0;
    return m;
}

Solution Finish(const Setup& S, const Raw& r, const std::vector<double>& g, const std::vector<double>& c,
                double s1, double V0, double ndf0) {
    Solution out;
    const double ys = S.yScale;
    out.alpha = r.alpha;
    out.alphaRatio = s1 > 0.0 ? r.alpha / s1 : 0.0;
    out.variance = r.V * ys * ys;
    out.objective = (r.V + r.alpha * r.alpha * r.regNorm2) * ys * ys;
    out.degFreedom = r.ndf;
    double dof = std::max(1.0, S.ny - r.ndf);
    double sigma2 = r.V / dof;
    out.stdDev = std::sqrt(sigma2) * ys;

    // Probabilities to reject against the reference solution.
    auto prob = [&](double ndf) {
        double d2 = S.ny - ndf0;
        if (!(ndf > 0.0) || !(d2 > 0.0) || !(V0 > 0.0)) return r.V > V0 * (1.0 + 1e-12) ? 1.0 : 0.0;
        double F = ((r.V - V0) / ndf) / (V0 / d2);
        return FCdf(F, ndf, d2);
    };
    out.prob1 = prob(ndf0);
    {
        double d2 = S.ny - r.ndf;
        if (!(r.ndf > 0.0) || !(d2 > 0.0) || !(V0 > 0.0)) out.prob2 = r.V > V0 * (1.0 + 1e-12) ? 1.0 : 0.0;
        else out.prob2 = FCdf(((r.V - V0) / r.ndf) / (V0 / d2), r.ndf, d2);
    }

    const size_t n = g.size();
    out.s.resize(n);
    out.sErr.assign(n, 0.0);
    for (size_t j = 0; j < n; ++j) out.s[j] = r.s(static_cast<Eigen::Index>(j)) * ys;
    for (size_t i = 0; i < r.free.size() && static_cast<Eigen::Index>(i) < r.Gs.cols(); ++i)
        out.sErr[static_cast<size_t>(r.free[i])] = std::sqrt(sigma2) * r.Gs.col(static_cast<Eigen::Index>(i)).norm() * ys;
    out.baseline = r.baseline * ys;
    out.baselineErr = std::sqrt(sigma2 * r.baselineVar) * ys;
    out.fit.resize(static_cast<size_t>(S.ny));
    for (int k = 0; k < S.ny; ++k) out.fit[static_cast<size_t>(k)] = r.fit(k) * ys;

    std::vector<double> sv(n);
    for (size_t j = 0; j < n; ++j) sv[j] = r.s(static_cast<Eigen::Index>(j));
    for (auto [a, b] : SplitPeaks(sv)) out.peaks.push_back(MakeMoments(r, g, c, sigma2, ys, a, b));
    out.entire = MakeMoments(r, g, c, sigma2, ys, 0, static_cast<int>(n) - 1);

    // Randomness of the residuals: runs of signs and autocorrelations.
    Vec res = S.y - r.fit;
    int npos = 0, nneg = 0, runs = 0, prevSign = 0;
    for (int k = 0; k < S.ny; ++k) {
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
    double e2 = res.squaredNorm();
    for (int lag = 1; lag <= 5; ++lag) {
        if (lag >= S.ny || !(e2 > 0.0)) {
            out.puncor[static_cast<size_t>(lag - 1)] = 1.0;
            continue;
        }
        double acc = 0.0;
        for (int k = 0; k + lag < S.ny; ++k) acc += res(k) * res(k + lag);
        double rho = acc / e2;
        out.puncor[static_cast<size_t>(lag - 1)] = 1.0 - NormalCdf(rho * std::sqrt(double(S.ny - lag)));
    }
    return out;
}

}  // namespace

std::vector<std::pair<int, int>> SplitPeaks(const std::vector<double>& s) {
    const int n = static_cast<int>(s.size());
    std::vector<std::pair<int, int>> humps;  // ranges of positive values between separators
    double smax = 0.0;
    for (double v : s) smax = std::max(smax, v);
    if (!(smax > 0.0)) return {};
    // Values below a tiny fraction of the maximum are rounding noise of the
    // solver and count as zeros.
    const double zero = 1e-9 * smax;
    auto pos = [&](int i) { return s[static_cast<size_t>(i)] > zero; };
    int i = 0;
    while (i < n) {
        if (!pos(i)) {
            ++i;
            continue;
        }
        int a = i;
        while (i < n && pos(i)) ++i;
        int b = i - 1;
        // Split the run [a, b] at its interior minima: a point (or the
        // first point of a flat bottom) after a fall and before a rise. The
        // minimum opens the next peak.
        int start = a;
        bool fallen = false;
        for (int j = a; j < b; ++j) {
            double cur = s[static_cast<size_t>(j)], nxt = s[static_cast<size_t>(j + 1)];
            if (nxt < cur) {
                fallen = true;
            } else if (nxt > cur && fallen) {
                int m = j;
                while (m > start && s[static_cast<size_t>(m - 1)] == cur) --m;
                humps.push_back({start, m - 1});
                start = m;
                fallen = false;
            }
        }
        humps.push_back({start, b});
    }
    // Every index belongs to some peak: zeros before the first positive run
    // go to the first peak, zeros between runs are shared, trailing zeros go
    // to the last.
    std::vector<std::pair<int, int>> peaks = humps;
    peaks.front().first = 0;
    peaks.back().second = n - 1;
    for (size_t p = 0; p + 1 < peaks.size(); ++p) {
        int endThis = humps[p].second, startNext = humps[p + 1].first;
        if (startNext > endThis + 1) {
            int mid = (endThis + startNext) / 2;
            peaks[p].second = mid;
            peaks[p + 1].first = mid + 1;
        }
    }
    return peaks;
}

Result Solve(const Deck& deck, double targetProb1) {
    targetProb1 = std::isfinite(targetProb1) ? std::clamp(targetProb1, 0.01, 0.99) : 0.5;
    Result res;
    Setup S;
    S.ny = static_cast<int>(deck.t.size());
    S.ng = deck.ng;
    S.nonneg = deck.dousnq;
    S.nlinf = deck.nlinf;
    const int ng = S.ng, ny = S.ny;

    // Grid equally spaced in ln g; trapezoidal weights in g.
    res.g.resize(static_cast<size_t>(ng));
    res.c.resize(static_cast<size_t>(ng));
    const double l0 = std::log(deck.gmnmx[0]), l1 = std::log(deck.gmnmx[1]);
    for (int m = 0; m < ng; ++m) res.g[static_cast<size_t>(m)] = std::exp(l0 + (l1 - l0) * m / (ng - 1));
    res.g.front() = deck.gmnmx[0];
    res.g.back() = deck.gmnmx[1];
    for (int m = 0; m < ng; ++m) {
        double lo = res.g[static_cast<size_t>(std::max(m - 1, 0))], hi = res.g[static_cast<size_t>(std::min(m + 1, ng - 1))];
        res.c[static_cast<size_t>(m)] = 0.5 * (hi - lo);
    }

    // Kernel g^r23 exp(-r21 t g^r22) with the quadrature weights.
    const double r21 = deck.ruser[21], r22 = deck.ruser[22], r23 = deck.ruser[23];
    S.A.resize(ny, ng);
    for (int m = 0; m < ng; ++m) {
        const double gm = res.g[static_cast<size_t>(m)];
        const double pre = res.c[static_cast<size_t>(m)] * std::pow(gm, r23);
        const double gp = std::pow(gm, r22);
        for (int k = 0; k < ny; ++k) {
            double v = pre * std::exp(-r21 * deck.t[static_cast<size_t>(k)] * gp);
            if (!std::isfinite(v) || std::fabs(v) > 1e200)
                throw std::runtime_error("THE KERNEL CANNOT BE EVALUATED FOR THESE ABSCISSAE AND GRID");
            S.A(k, m) = v;
        }
    }
    // Columns of the kernel scaled to comparable size keep the compressed
    // problem well conditioned; the scale is undone in the solution below.
    S.y.resize(ny);
    double ymax = 0.0;
    for (int k = 0; k < ny; ++k) {
        S.y(k) = deck.y[static_cast<size_t>(k)];
        ymax = std::max(ymax, std::fabs(S.y(k)));
    }
    S.yScale = ymax > 0.0 ? ymax : 1.0;
    S.y /= S.yScale;

    S.aMean = Vec::Zero(ng);
    Mat Ap = S.A;
    Vec yp = S.y;
    if (S.nlinf) {
        S.aMean = S.A.colwise().mean().transpose();
        S.yMean = S.y.mean();
        Ap.rowwise() -= S.aMean.transpose();
        yp.array() -= S.yMean;
    }
    // Compress the data-fit term: |yp - Ap s|^2 = |d - C s|^2 + const.
    {
        Eigen::HouseholderQR<Mat> qr(Ap);
        const Eigen::Index rc = std::min<Eigen::Index>(ny, ng);
        S.C = qr.matrixQR().topRows(rc).triangularView<Eigen::Upper>();
        Vec qty = qr.householderQ().transpose() * yp;
        S.d = qty.head(rc);
    }
    S.Rg = Regularizer(ng, deck.norder, deck.nendz[0], deck.nendz[1]);
    if (deck.nendz[0] + deck.nendz[1] < deck.norder || S.Rg.rows() < ng) {
        // With fewer zero points than the order, low-degree polynomials
        // escape the regularizer; a weak ridge keeps it of full rank.
        Mat aug(S.Rg.rows() + ng, ng);
        aug.topRows(S.Rg.rows()) = S.Rg;
        aug.bottomRows(ng) = 1e-3 * Mat::Identity(ng, ng);
        S.Rg = aug;
    }

    std::vector<int> all(static_cast<size_t>(ng));
    for (int j = 0; j < ng; ++j) all[static_cast<size_t>(j)] = j;
    Vec sv = StandardFormSingularValues(S, all);
    res.singularValues.assign(sv.data(), sv.data() + sv.size());
    double s1 = sv.size() > 0 ? sv(0) : 0.0;
    if (!(s1 > 0.0) || !std::isfinite(s1)) s1 = 1.0;

    // The alpha scan: a nearly unregularized reference, large steps up to a
    // solution that is surely rejected, then refinement of ln(alpha) toward
    // the target PROB1.
    std::vector<Raw> raws;
    std::vector<int> warm;
    auto run = [&](double ratio) {
        Raw r = SolveAlpha(S, ratio * s1, warm);
        warm = r.passive;
        raws.push_back(std::move(r));
    };
    run(1e-10);
    const double V0 = raws[0].V, ndf0 = raws[0].ndf;
    auto prob1 = [&](const Raw& r) {
        double d2 = S.ny - ndf0;
        if (!(ndf0 > 0.0) || !(d2 > 0.0) || !(V0 > 0.0)) return r.V > V0 * (1.0 + 1e-12) ? 1.0 : 0.0;
        return FCdf(((r.V - V0) / ndf0) / (V0 / d2), ndf0, d2);
    };
    // Every solution after the reference, with its ALPHA/S(1) and PROB1.
    std::vector<double> ratios{1e-10}, probs{0.0};
    auto scan = [&](double ratio) {
        run(ratio);
        ratios.push_back(ratio);
        probs.push_back(prob1(raws.back()));
    };
    const int kMaxSolutions = 11;
    double ratio = 1e-10;
    while (static_cast<int>(raws.size()) < 9) {
        ratio *= 10.0;
        scan(ratio);
        if (probs.back() > 0.99) break;
    }
    // Bracket around the target among the computed ones.
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
        double ul = std::log(ratios[static_cast<size_t>(lo)]), uh = std::log(ratios[static_cast<size_t>(hi)]);
        if (uh - ul < 1e-3) return false;
        auto logit = [](double p) {
            p = std::clamp(p, 1e-6, 1.0 - 1e-6);
            return std::log(p / (1.0 - p));
        };
        double fl = logit(probs[static_cast<size_t>(lo)]), fh = logit(probs[static_cast<size_t>(hi)]);
        const double ft = logit(targetProb1);
        double u = fh > fl ? ul + (ft - fl) * (uh - ul) / (fh - fl) : 0.5 * (ul + uh);
        double margin = 0.15 * (uh - ul);
        u = std::clamp(u, ul + margin, uh - margin);
        scan(std::exp(u));
        return std::fabs(probs.back() - targetProb1) > 1e-4;
    };
    while (static_cast<int>(raws.size()) < kMaxSolutions && refine()) {
    }
    // When the target was met in few steps, spread more solutions over the
    // rise of PROB1 (each between the two neighbours in alpha whose PROB1
    // differ most), so that the solutions a user browses show how the
    // distribution changes with the smoothing.
    const int kMinSolutions = 10;
    while (static_cast<int>(raws.size()) < kMinSolutions) {
        std::vector<size_t> order(ratios.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ratios[a] < ratios[b]; });
        double widest = 0.0;
        double mid = 0.0;
        for (size_t k = 1; k < order.size(); ++k) {
            const size_t a = order[k - 1], b = order[k];
            const double rise = std::fabs(probs[b] - probs[a]);
            if (rise > widest && std::log(ratios[b] / ratios[a]) > 1e-3) {
                widest = rise;
                mid = std::sqrt(ratios[a] * ratios[b]);
            }
        }
        if (!(widest > 1e-3)) break;
        scan(mid);
    }

    int best = 0;
    for (size_t i = 0; i < raws.size(); ++i) {
        res.solutions.push_back(Finish(S, raws[i], res.g, res.c, s1, V0, ndf0));
        res.solutions.back().reference = (i == 0);
        if (std::fabs(res.solutions[i].prob1 - targetProb1) <
            std::fabs(res.solutions[static_cast<size_t>(best)].prob1 - targetProb1))
            best = static_cast<int>(i);
    }
    res.chosen = best;
    return res;
}

}  // namespace fluvena::contin
