#include "common/Nnls.h"

#include <algorithm>
#include <cmath>

namespace fluvena::engine {
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

std::vector<int> Members(const std::vector<char>& flags) {
    std::vector<int> set;
    for (std::size_t j = 0; j < flags.size(); ++j)
        if (flags[j]) set.push_back(static_cast<int>(j));
    return set;
}

}  // namespace

NnlsResult SolveNnls(const Eigen::MatrixXd& a, const Eigen::VectorXd& b, const std::vector<int>& warmStart,
                     int maxIterations) {
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
    const std::size_t nn = static_cast<std::size_t>(n);
    std::vector<char> passive(nn, 0);
    Eigen::VectorXd x = Eigen::VectorXd::Zero(n);

    // Warm start: shrink the given set until its solution is positive.
    std::vector<int> set;
    for (int j : warmStart)
        if (j >= 0 && j < n && !passive[static_cast<std::size_t>(j)]) {
            passive[static_cast<std::size_t>(j)] = 1;
            set.push_back(j);
        }
    std::sort(set.begin(), set.end());
    while (!set.empty()) {
        const Eigen::VectorXd z = SolveOnSet(r, c, set);
        std::vector<int> positive;
        for (int j : set)
            if (z(j) > 0 && std::isfinite(z(j))) positive.push_back(j);
        if (positive.size() == set.size()) {
            x = z;
            break;
        }
        for (int j : set) passive[static_cast<std::size_t>(j)] = 0;
        for (int j : positive) passive[static_cast<std::size_t>(j)] = 1;
        set = std::move(positive);
    }

    const int maxOuter = maxIterations > 0 ? maxIterations : static_cast<int>(3 * n + 20);
    const int maxInner = static_cast<int>(3 * n + 20);
    // A variable that could not enter (rounding) is not offered again until
    // another one changes the solution.
    std::vector<char> blocked(nn, 0);
    int outer = 0;
    bool done = false;
    for (;;) {
        const Eigen::VectorXd w = r.transpose() * (c - r * x);
        Eigen::Index best = -1;
        double bestW = tol;
        for (Eigen::Index j = 0; j < n; ++j)
            if (!passive[static_cast<std::size_t>(j)] && !blocked[static_cast<std::size_t>(j)] && w(j) > bestW) {
                bestW = w(j);
                best = j;
            }
        if (best < 0) {
            done = true;
            break;
        }
        if (outer == maxOuter) break;
        ++outer;
        passive[static_cast<std::size_t>(best)] = 1;
        // Inner loop: move toward the unconstrained solution on the free
        // set, dropping variables that would turn negative.
        for (int inner = 0; inner < maxInner; ++inner) {
            set = Members(passive);
            if (set.empty()) break;
            const Eigen::VectorXd z = SolveOnSet(r, c, set);
            bool feasible = true;
            for (int j : set)
                if (!(z(j) > 0)) feasible = false;
            if (feasible) {
                x = z;
                break;
            }
            double step = 1.0;
            for (int j : set)
                if (!(z(j) > 0)) {
                    const double denom = x(j) - z(j);
                    step = denom > 0 ? std::min(step, x(j) / denom) : 0.0;
                }
            x += step * (z - x);
            for (int j : set)
                if (x(j) <= tol * 1e-3 || !std::isfinite(x(j))) {
                    x(j) = 0;
                    passive[static_cast<std::size_t>(j)] = 0;
                }
        }
        if (!passive[static_cast<std::size_t>(best)]) blocked[static_cast<std::size_t>(best)] = 1;
        else std::fill(blocked.begin(), blocked.end(), 0);
    }
    res.x = x;
    res.passive = Members(passive);
    res.iterations = outer;
    res.converged = done;
    res.residualNorm = std::sqrt((c - r * x).squaredNorm() + restSq);
    return res;
}

}  // namespace fluvena::engine
