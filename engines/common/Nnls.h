#pragma once
// Non-negative least squares by the active-set method of Lawson and Hanson
// (Solving Least Squares Problems, 1974, chapter 23):
//
//     minimise ||A x - b||   subject to   x >= 0.
//
// The variables are split into a passive (free) set P and an active set Z
// held at zero. The solution satisfies the Karush-Kuhn-Tucker conditions
// with the dual vector w = A^T (b - A x):
//     x_j > 0, w_j = 0 for j in P;   x_j = 0, w_j <= 0 for j in Z,
// which the method tests (w_j against a small tolerance relative to the
// sizes of A and b) to stop. Each outer iteration moves the variable of Z
// with the largest w_j into P; an inner loop solves least squares on P and,
// where that solution has entries at or below zero, steps back to the
// feasible boundary and returns those variables to Z.
//
// A tall matrix is first reduced to its triangular factor
// (||A x - b||^2 = ||R x - c||^2 + const), so every step works on a small
// square problem whatever the number of rows. Every loop is bounded.
#include <Eigen/Dense>

#include <vector>

namespace fluvena::engine {

struct NnlsResult {
    Eigen::VectorXd x;
    std::vector<int> passive;  // the variables left free (positive), ascending
    double residualNorm = 0;   // ||A x - b||
    int iterations = 0;        // variables offered to the free set
    bool converged = false;    // false when the iteration bound stopped it
};

// How the least-squares problem on each free set is solved. Fresh: each set
// factorized anew with column pivoting, a column that depends on the others
// (to the rounding) getting a zero. Updated: one factorization changed as
// columns enter and leave (Lawson and Hanson, chapter 24), O(rows x cols)
// per change instead of O(rows x set^2); for columns that are independent,
// where it reaches the same solution, at a fraction of the cost on large
// problems.
enum class NnlsUpdates { Fresh, Updated };

// warmStart: a free set to begin from, for instance the final one of a
// neighbouring problem (indices outside the columns are ignored); the method
// first shrinks it until its least-squares solution is positive, then goes on
// as from an empty set. maxIterations bounds the variables offered to the
// free set; 0 means 3 n + 20 for n columns.
NnlsResult SolveNnls(const Eigen::MatrixXd& a, const Eigen::VectorXd& b, const std::vector<int>& warmStart = {},
                     int maxIterations = 0, NnlsUpdates updates = NnlsUpdates::Fresh);

}  // namespace fluvena::engine
