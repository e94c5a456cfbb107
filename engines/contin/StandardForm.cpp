// Constrained regularization (S. W. Provencher, Comput. Phys. Commun. 27
// (1982) 213-227 and 229-242), the set-up: grid and quadrature, the kernel,
// the weights, the regularizer and the problem in standard form.
//
// The problem is set up the way the reference listings show it: Simpson
// weights in ln g, the columns of the kernel scaled by NG over their sum and
// the constant term's column by 1/NY, the constant term held at >= 0 like
// the solution. With the regularizer scale below, ALPHA, ALPHA/S(1) and the
// singular values mean what they mean in those listings.
#include "StandardForm.h"
#include "common/Nnls.h"
#include "common/Statistics.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace fluvena::contin {
namespace detail {

using engine::FCdf;

namespace {

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

// The signal-weighted regularizer on the scaled grid variables.
//
// Second differences (D) of u_m = |K_m| w_m^2.5 s_m: |K_m| the signal a unit
// of intensity at grid point m puts into the data (the kernel's column, with
// the constant term projected out when there is one), w_m s_m the intensity
// in the cell. Smoothing the signal rather than the density keeps the
// solution where the data see it. The extra factor w_m^1.5 = (h g_m)^1.5
// leans the smoothing toward longer decay times, so that the curvature a
// valley between two overlapping modes costs is paid less: measured over
// seeded surveys (bench/contin), the exponent 0.5 (which keeps a Gaussian's
// mean in ln g) merged two log-normals of mean decay times 30 and 90 (ln
// deviation 0.3) at 0.1 % noise more often than the classic regularizer;
// 1.5 keeps them apart at least as often on four time windows, and on every
// case of the quality survey it passes at least as often as the classic one.
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
        a(m) = seen(m) * std::pow(w[mm], 2.5);
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

// The grid, equally spaced in ln g from GMNMX(1) to GMNMX(2), and the
// quadrature weights c_m = h g_m w_m of integral s(g) dg = integral
// s(g) g d(ln g): Simpson's w_m in ln g (the last interval by the trapezoidal
// rule when NG is even), so that s(g) is a density in g and sum c_m s_m the
// total amplitude. Returns the step h in ln g.
double GridAndQuadrature(const Deck& deck, std::vector<double>& g, std::vector<double>& c) {
    const int ng = deck.ng;
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
    return h;
}

// The design matrix of the data, y_k ~ sum_m A_km s_m (+ the constant
// term): A_km = c_m g_m^r23 exp(-r21 t_k g_m^r22) with the kernel's
// parameters RUSER(21..23). The kernel's columns are then scaled by NG over
// the sum of |A_km|, the constant term's (all ones) by 1/NY, and varScale
// records the factors. With IWT 4 the weighted problem min sum_k w_k
// (y_k - (A x)_k)^2 becomes an unweighted one on rows and data times
// sqrt(w_k), the weights taken to a mean of 1 so that the constant term's
// singular value, S(1), keeps its meaning. Returns the kernel's factor.
double DesignMatrix(const Deck& deck, const std::vector<double>& g, const std::vector<double>& c, Problem& P) {
    const int ng = P.ng, ny = P.ny, n = P.n;
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
    P.sw = Vec::Ones(ny);
    if (deck.w.size() == static_cast<size_t>(ny)) {
        const Eigen::Map<const Vec> wk(deck.w.data(), ny);
        P.sw = (wk / wk.mean()).cwiseSqrt();
        P.A = P.sw.asDiagonal() * P.A;
        P.y = P.y.cwiseProduct(P.sw);
    }
    return sc;
}

// The regularizer Rg on the scaled variables: (NG + 3) / 4 times the
// NORDER-th differences with NENDZ zero points beyond each end (or the
// signal-weighted one with SIGREG), a weak ridge added when the differences
// leave low-degree polynomials free, and the constant term's ridge.
void Regularizer(const Deck& deck, const std::vector<double>& g, const std::vector<double>& c, double h, double sc,
                 Problem& P) {
    const int ng = P.ng, n = P.n;
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
}

// The standard form (Provencher 1982, Comput. Phys. Commun. 27, 213, section
// 3): with A = Q [C; 0] (d the first n entries of Q^T y) and Rg = Q' [K; 0],
// the singular value decomposition C K^-1 = H Psi Z^T turns
// |y - A x_s|^2 + alpha^2 |Rg x_s|^2 into |gamma - Psi zeta|^2 + alpha^2 |zeta|^2
// (up to a constant) with gamma = H^T d and zeta = Z^T K x_s = W x_s;
// G0 = K^-1 Z maps zeta back to x_s.
void StandardForm(Problem& P) {
    const int ny = P.ny, n = P.n;
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
}

}  // namespace

Problem Prepare(const Deck& deck, std::vector<double>& g, std::vector<double>& c) {
    Problem P;
    P.ny = static_cast<int>(deck.t.size());
    P.ng = deck.ng;
    P.baseline = deck.nlinf > 0;
    P.nonneg = deck.dousnq;
    P.n = P.ng + (P.baseline ? 1 : 0);
    const double h = GridAndQuadrature(deck, g, c);
    const double sc = DesignMatrix(deck, g, c, P);
    Regularizer(deck, g, c, h, sc, P);
    StandardForm(P);
    return P;
}

}  // namespace detail
}  // namespace fluvena::contin
