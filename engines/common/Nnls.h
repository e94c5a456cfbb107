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
    bool converged = false;    // false when the iteration bound stopped it, or the solution overflowed (x = 0)
};

// How the least-squares problem on each free set is solved. Fresh: each set
// factorized anew with column pivoting, a column that depends on the others
// (to the rounding) getting a zero. Updated: one factorization changed as
// columns enter and leave (Lawson and Hanson, chapter 24), O(rows x cols)
// per change instead of O(rows x set^2); for columns that are independent,
// where it reaches the same solution, at a fraction of the cost on large
// problems.
enum class NnlsUpdates { Fresh, Updated };

// When a variable may enter the free set and what the iteration bound
// counts. Tolerant: the largest w_j above a tolerance relative to the sizes
// of A and b enters, a variable that rounding keeps from entering is not
// offered again until the solution changes, and the bound counts the
// variables offered. LawsonHanson: the book's own rules (chapter 23, with
// the updated factorization of chapter 24), for reproducing where a program
// that runs them gives up: no reduction of a tall A; the dual values of the
// variables held at zero taken from the rows below the triangle of the
// transformed problem; the largest w_j > 0 enters unless its column is
// dependent on the free ones to the arithmetic (a hundredth of its new
// diagonal entry lost to rounding against the norm of its part in the
// triangle) or its coefficient would not come out positive, when it gets
// w_j = 0 and the next is tried; a variable whose
// coefficient reaches zero leaves, and with it any other at or below zero;
// the bound counts the feasibility checks of the inner loop (one after each
// solution of the triangular system). It always updates the factorization
// and ignores a warm start.
enum class NnlsRules { Tolerant, LawsonHanson };

// warmStart: a free set to begin from, for instance the final one of a
// neighbouring problem (indices outside the columns are ignored); the method
// first shrinks it until its least-squares solution is positive, then goes on
// as from an empty set. maxIterations bounds the variables offered to the
// free set (with LawsonHanson rules, the feasibility checks); 0 means 3 n + 20
// for n columns.
NnlsResult SolveNnls(const Eigen::MatrixXd& a, const Eigen::VectorXd& b, const std::vector<int>& warmStart = {},
                     int maxIterations = 0, NnlsUpdates updates = NnlsUpdates::Fresh,
                     NnlsRules rules = NnlsRules::Tolerant);

}  // namespace fluvena::engine
