// The reference solution's rule: the first coarse alpha whose constrained
// problem the reference's own method (a least-distance problem solved
// through its dual, Lawson and Hanson, chapter 23) solves within its
// iteration limit.
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

// Whether the constrained problem at one alpha can be solved the way the
// reference solves it: as a least-distance problem whose dual is a
// non-negative least-squares problem, min |E u - f|, u >= 0, by Lawson and
// Hanson's own rules limited to 3 m feasibility checks for m columns. Near
// the precision of the arithmetic the limit is reached; the reference then
// drops that alpha, and its reference solution is the first that passes.
bool LeastDistanceConverges(const Mat& E, const Vec& f) {
    return engine::SolveNnls(E, f, {}, 3 * static_cast<int>(E.cols()), engine::NnlsUpdates::Updated,
                             engine::NnlsRules::LawsonHanson)
        .converged;
}

}  // namespace

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
    return LeastDistanceConverges(E, f);
}

}  // namespace detail
}  // namespace fluvena::contin
