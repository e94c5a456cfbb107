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

// Lawson and Hanson's NNLS (Solving Least Squares Problems, 1974, chapter 23,
// with the updates of chapter 24) on min |E u - f| subject to u >= 0, run
// the way the reference program runs it so that it gives up where that one
// does. E and f are transformed in place: the columns of the passive set P
// (index[0, nsetp), in the order they entered) form an upper triangle in
// E's first nsetp rows, a column entering by one Householder reflection of
// rows nsetp.. (applied to f and to the columns of Z = index[firstZ, n)),
// a column leaving by Givens rotations that restore the triangle. The dual
// vector w = E^T (f - E u) is then, on Z, the product of E's and f's rows
// below the triangle. The stopping rule is the Karush-Kuhn-Tucker one
// (w_j <= 0 on Z, or no row left below the triangle); the iteration count is
// that of the solutions of the triangular system, at most 3 n for n columns.
class ReferenceNnls {
public:
    ReferenceNnls(Mat E, Vec f)
        : E_(std::move(E)), f_(std::move(f)), rows_(E_.rows()), n_(E_.cols()), limit_(3 * static_cast<int>(n_)),
          x_(Vec::Zero(n_)), w_(Vec::Zero(n_)), z_(rows_), essential_(rows_), index_(static_cast<size_t>(n_)) {
        for (Eigen::Index i = 0; i < n_; ++i) index_[static_cast<size_t>(i)] = i;
    }

    // True when the KKT conditions are reached within the limit.
    bool Converges() {
        for (int outer = 0; outer <= limit_; ++outer) {
            if (firstZ_ >= n_ || nsetp_ >= rows_) return true;
            for (Eigen::Index iz = firstZ_; iz < n_; ++iz) {
                const Eigen::Index j = index_[static_cast<size_t>(iz)];
                w_(j) = E_.col(j).tail(rows_ - nsetp_).dot(f_.tail(rows_ - nsetp_));
            }
            Eigen::Index izmax = -1;
            double tau = 0.0, beta = 0.0;
            if (!ChooseEntering(izmax, tau, beta)) return true;
            Enter(izmax, tau, beta);
            BackSolve();
            if (!RestoreFeasibility()) return false;
            for (Eigen::Index ip = 0; ip < nsetp_; ++ip) x_(index_[static_cast<size_t>(ip)]) = z_(ip);
        }
        return false;
    }

private:
    // The column of Z with the largest positive w_j that is independent of
    // the passive ones (its part below the triangle, the reflection's beta,
    // is not lost against the norm of its part in the triangle at 1 % of its
    // size) and whose coefficient z = (Q f)_nsetp / beta comes out positive;
    // columns that fail get w_j = 0 and the next is tried. False when no
    // w_j of Z is positive. The reflection is left in essential_, tau, beta.
    bool ChooseEntering(Eigen::Index& izmax, double& tau, double& beta) {
        for (;;) {
            double wmax = 0.0;
            izmax = -1;
            for (Eigen::Index iz = firstZ_; iz < n_; ++iz)
                if (w_(index_[static_cast<size_t>(iz)]) > wmax) {
                    wmax = w_(index_[static_cast<size_t>(iz)]);
                    izmax = iz;
                }
            if (izmax < 0) return false;
            const Eigen::Index j = index_[static_cast<size_t>(izmax)];
            const double unorm = E_.col(j).head(nsetp_).norm();
            Vec seg = E_.col(j).tail(rows_ - nsetp_);
            auto ess = essential_.head(rows_ - nsetp_ - 1);
            seg.makeHouseholder(ess, tau, beta);
            if ((unorm + std::fabs(beta) * 0.01) - unorm > 0.0) {
                Vec zt = f_.tail(rows_ - nsetp_);
                double work = 0.0;
                zt.applyHouseholderOnTheLeft(ess, tau, &work);
                if (zt(0) / beta > 0.0) return true;
            }
            w_(j) = 0.0;
        }
    }

    // Moves Z's column at izmax into P: the reflection applied to f and to
    // the other columns of Z, the column itself set to (.., beta, 0, ..).
    void Enter(Eigen::Index izmax, double tau, double beta) {
        const Eigen::Index j = index_[static_cast<size_t>(izmax)];
        auto ess = essential_.head(rows_ - nsetp_ - 1);
        Vec work(1);
        f_.tail(rows_ - nsetp_).applyHouseholderOnTheLeft(ess, tau, work.data());
        std::swap(index_[static_cast<size_t>(izmax)], index_[static_cast<size_t>(firstZ_)]);
        ++firstZ_;
        for (Eigen::Index jz = firstZ_; jz < n_; ++jz) {
            auto col = E_.col(index_[static_cast<size_t>(jz)]).tail(rows_ - nsetp_);
            col.applyHouseholderOnTheLeft(ess, tau, work.data());
        }
        E_(nsetp_, j) = beta;
        E_.col(j).tail(rows_ - nsetp_ - 1).setZero();
        ++nsetp_;
        w_(j) = 0.0;
    }

    // z(0 .. nsetp) solves the triangular system of P's columns against f.
    void BackSolve() {
        z_ = f_;
        for (Eigen::Index l = nsetp_ - 1; l >= 0; --l) {
            const Eigen::Index j = index_[static_cast<size_t>(l)];
            z_(l) /= E_(l, j);
            z_.head(l) -= E_.col(j).head(l) * z_(l);
        }
    }

    // The inner loop: while some z_i of P is at or below zero, u moves
    // toward z by the largest step that keeps it feasible, the column that
    // reaches zero leaves P and z is solved for again. Every solve counts;
    // false once they pass the limit.
    bool RestoreFeasibility() {
        for (;;) {
            if (++solves_ > limit_) return false;
            double step = 2.0;
            Eigen::Index leave = -1;
            for (Eigen::Index ip = 0; ip < nsetp_; ++ip) {
                const Eigen::Index l = index_[static_cast<size_t>(ip)];
                if (z_(ip) <= 0.0) {
                    const double t = -x_(l) / (z_(ip) - x_(l));
                    if (step > t) {
                        step = t;
                        leave = ip;
                    }
                }
            }
            if (leave < 0) return true;
            for (Eigen::Index ip = 0; ip < nsetp_; ++ip) {
                const Eigen::Index l = index_[static_cast<size_t>(ip)];
                x_(l) += step * (z_(ip) - x_(l));
            }
            Leave(leave);
            BackSolve();
        }
    }

    // Moves the column at place leave of P out, and with it any other that
    // rounding left at or below zero; rotations restore the triangle. A
    // rotation of rows jq - 1 and jq changes only the column moved out and
    // those from position jq - 1 on: the triangle's columns before it are
    // zero in both rows.
    void Leave(Eigen::Index leave) {
        while (leave >= 0) {
            const Eigen::Index out = index_[static_cast<size_t>(leave)];
            x_(out) = 0.0;
            for (Eigen::Index jq = leave + 1; jq < nsetp_; ++jq) Rotate(jq, out);
            --nsetp_;
            --firstZ_;
            index_[static_cast<size_t>(firstZ_)] = out;
            leave = -1;
            for (Eigen::Index q = 0; q < nsetp_; ++q)
                if (x_(index_[static_cast<size_t>(q)]) <= 0.0) {
                    leave = q;
                    break;
                }
        }
    }

    // The Givens rotation of rows jq - 1 and jq that zeroes E(jq, ii) for the
    // column ii at place jq, which moves up one place.
    void Rotate(Eigen::Index jq, Eigen::Index out) {
        const Eigen::Index ii = index_[static_cast<size_t>(jq)];
        index_[static_cast<size_t>(jq - 1)] = ii;
        Eigen::JacobiRotation<double> g;
        g.makeGivens(E_(jq - 1, ii), E_(jq, ii));
        // (x, y) <- (c x - s y, s x + c y), G^T applied on the left.
        const double c = g.c(), s = g.s(), ms = -s;
        auto rotate = [&](Eigen::Index col) {
            double* column = E_.col(col).data();
            const double xi = column[jq - 1], yi = column[jq];
            column[jq - 1] = c * xi + ms * yi;
            column[jq] = -ms * xi + c * yi;
        };
        // index[jq] still holds ii until the next step moves its successor
        // down.
        rotate(out);
        rotate(ii);
        for (Eigen::Index q = jq + 1; q < n_; ++q) rotate(index_[static_cast<size_t>(q)]);
        f_.applyOnTheLeft(jq - 1, jq, g.adjoint());
        E_(jq, ii) = 0.0;
    }

    Mat E_;
    Vec f_;
    const Eigen::Index rows_, n_;
    const int limit_;
    Vec x_, w_, z_, essential_;
    std::vector<Eigen::Index> index_;  // index_[0, nsetp_) is P, index_[firstZ_, n_) is Z
    Eigen::Index firstZ_ = 0, nsetp_ = 0;
    int solves_ = 0;
};

// Whether the constrained problem at one alpha can be solved the way the
// reference solves it: as a least-distance problem whose dual is a
// non-negative least-squares problem, min |E u - f|, u >= 0, by the method
// above limited to 3 m solves of the triangular system for m columns. Near
// the precision of the arithmetic the limit is reached; the reference then
// drops that alpha, and its reference solution is the first that passes.
bool LeastDistanceConverges(Mat E, Vec f) { return ReferenceNnls(std::move(E), std::move(f)).Converges(); }

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
    return LeastDistanceConverges(std::move(E), std::move(f));
}

}  // namespace detail
}  // namespace fluvena::contin
