// The reference solution's rule: the first coarse alpha whose constrained
// problem the reference's own method (a least-distance problem solved
// through its dual, Lawson and Hanson, chapter 23) solves within its
// iteration limit.
#include "StandardForm.h"
#include "common/Nnls.h"

#include <Eigen/Dense>

namespace fluvena::contin {
namespace detail {

// The least-distance form at one alpha: the constraints x_s >= 0 on
// xi = diag(pt) zeta - w with |xi| minimal, as the matrix E = [G^T; h^T]
// and f = e_(n+1) of its dual, a non-negative least-squares problem
// min |E u - f|, u >= 0. The reference solves it by Lawson and Hanson's own
// rules limited to 3 m feasibility checks for m columns; near the precision
// of the arithmetic the limit is reached, the reference drops that alpha,
// and its reference solution is the first that passes.
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
    return engine::SolveNnls(E, f, {}, 3 * static_cast<int>(n), engine::NnlsUpdates::Updated,
                             engine::NnlsRules::LawsonHanson)
        .converged;
}

}  // namespace detail
}  // namespace fluvena::contin
