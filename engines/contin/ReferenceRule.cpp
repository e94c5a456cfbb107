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
