#include "discrete/Nnls.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace fluvena::discrete {
namespace {

// Least squares on the columns listed in set; the other entries are zero.
Eigen::VectorXd SolveOnSet(const Eigen::MatrixXd& r, const Eigen::VectorXd& c, const std::vector<int>& set) {
    Eigen::MatrixXd sub(r.rows(), static_cast<Eigen::Index>(set.size()));
    for (std::size_t k = 0; k < set.size(); ++k) sub.col(static_cast<Eigen::Index>(k)) = r.col(set[k]);
    Eigen::VectorXd z = sub.colPivHouseholderQr().solve(c);
    Eigen::VectorXd full = Eigen::VectorXd::Zero(r.cols());
    for (std::size_t k = 0; k < set.size(); ++k) full(set[k]) = z(static_cast<Eigen::Index>(k));
    return full;
}

}  // namespace

NnlsResult SolveNnls(const Eigen::MatrixXd& a, const Eigen::VectorXd& b) {
    const Eigen::Index n = a.cols();
    NnlsResult res;
    res.x = Eigen::VectorXd::Zero(n);
    if (n == 0 || a.rows() == 0) {
        res.residualNorm = b.norm();
        res.converged = true;
        return res;
    }
    // ||A x - b||^2 = ||R x - Q^T b||^2 + const: work on the reduced system.
    Eigen::MatrixXd r;
    Eigen::VectorXd c;
    double restSq = 0;
    if (a.rows() > n) {
        Eigen::HouseholderQR<Eigen::MatrixXd> qr(a);
        Eigen::VectorXd qtb = qr.householderQ().adjoint() * b;
        r = qr.matrixQR().topRows(n).triangularView<Eigen::Upper>();
        c = qtb.head(n);
        restSq = qtb.tail(a.rows() - n).squaredNorm();
    } else {
        r = a;
        c = b;
    }

    const double scale = std::max(1.0, r.cwiseAbs().maxCoeff() * std::max(1.0, c.cwiseAbs().maxCoeff()));
    const double tol = 1e-12 * scale;
    std::vector<bool> passive(static_cast<std::size_t>(n), false);
    Eigen::VectorXd x = Eigen::VectorXd::Zero(n);
    const int maxOuter = static_cast<int>(3 * n + 10);
    int outer = 0;
    bool done = false;
    while (outer < maxOuter) {
        ++outer;
        Eigen::VectorXd w = r.transpose() * (c - r * x);
        Eigen::Index best = -1;
        double bestW = tol;
        for (Eigen::Index j = 0; j < n; ++j)
            if (!passive[static_cast<std::size_t>(j)] && w(j) > bestW) {
                bestW = w(j);
                best = j;
            }
        if (best < 0) {
            done = true;
            break;
        }
        passive[static_cast<std::size_t>(best)] = true;
        // Inner loop: move toward the unconstrained solution on the passive
        // set, dropping variables that would turn negative.
        for (int inner = 0; inner < 3 * n + 10; ++inner) {
            std::vector<int> set;
            for (Eigen::Index j = 0; j < n; ++j)
                if (passive[static_cast<std::size_t>(j)]) set.push_back(static_cast<int>(j));
            if (set.empty()) break;
            Eigen::VectorXd z = SolveOnSet(r, c, set);
            bool feasible = true;
            for (int j : set)
                if (!(z(j) > 0)) feasible = false;
            if (feasible) {
                x = z;
                break;
            }
            double alpha = 1.0;
            for (int j : set)
                if (!(z(j) > 0)) {
                    double denom = x(j) - z(j);
                    if (denom > 0) alpha = std::min(alpha, x(j) / denom);
                    else alpha = 0;
                }
            x += alpha * (z - x);
            for (int j : set)
                if (x(j) <= tol * 1e-3 || !std::isfinite(x(j))) {
                    x(j) = 0;
                    passive[static_cast<std::size_t>(j)] = false;
                }
        }
        if (passive[static_cast<std::size_t>(best)] == false && x(best) == 0) {
            // The variable just added could not enter: nothing more to gain.
            done = true;
            break;
        }
    }
    res.x = x;
    res.iterations = outer;
    res.converged = done;
    res.residualNorm = std::sqrt((c - r * x).squaredNorm() + restSq);
    return res;
}

}  // namespace fluvena::discrete
