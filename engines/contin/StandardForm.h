#pragma once
// The CONTIN engine's problem in standard form and one alpha's solution:
// what the alpha scan (Solver.cpp), the reference-solution rule
// (ReferenceRule.cpp), the set-up (StandardForm.cpp) and the statistics of a
// solution (Solution.cpp) share.
#include "ContinEngine.h"

#include <Eigen/Dense>

#include <vector>

namespace fluvena::contin::detail {

using Mat = Eigen::MatrixXd;
using Vec = Eigen::VectorXd;

// The problem in scaled variables x_s (the solution is varScale .* x_s):
// min |y - A x_s|^2 + alpha^2 |Rg x_s|^2 over x_s >= 0, and its standard
// form. With C = H Psi Z^T K (C the triangular factor of A, K that of Rg),
// zeta = Z^T K x_s = W x_s turns it into
// |gamma - Psi zeta|^2 + alpha^2 |zeta|^2, so that every alpha needs only
// a diagonal scaling of W.
struct Problem {
    int ny = 0, ng = 0, n = 0;  // points, grid points, variables (grid + constant term)
    bool baseline = false;      // the constant term is variable n - 1
    bool nonneg = true;
    Mat A;          // NY x n, scaled, rows times the square roots of the weights
    Vec y;          // the ordinates times the square roots of the weights
    Vec sw;         // square roots of the weights (all 1 without IWT 4)
    double s1 = 1.0;  // S(1): the unit of ALPHA/S(1)
    Vec varScale;   // x = varScale .* x_s
    Mat Rg;         // regularizer on x_s
    Vec psi, gamma; // singular values of C K^-1 and the data in their basis
    Mat W;          // Z^T K
    Mat G0;         // K^-1 Z = W^-1 (for the least-distance form)
};

struct Raw {  // one alpha's solution in scaled variables with its statistics
    double alpha = 0;
    Vec xs;
    std::vector<int> free;  // variables not held at zero by the constraints
    double V = 0, regNorm2 = 0, ndf = 0;
    Mat Gs;                 // covariance factor on the free variables: Cov(x_s) = sigma^2 Gs^T Gs
    Vec fit;
};

// Grid g, quadrature weights c, kernel, weights, scaling, regularizer and
// the standard form of a deck's problem. Throws std::runtime_error when the
// kernel cannot be evaluated.
Problem Prepare(const Deck& deck, std::vector<double>& g, std::vector<double>& c);

// The constrained solution at one alpha, from the free set `warm` of the
// previous one (updated).
Raw SolveAlpha(const Problem& P, double alpha, std::vector<int>& warm);

// PROB1 TO REJECT of a solution of variance V against the reference one.
double Prob1(double V, double V0, double ndf0, int ny);

// A solution with its statistics, peaks and moments, as the listing prints it.
Solution Finish(const Problem& P, const Raw& r, const std::vector<double>& g, const std::vector<double>& c, double s1,
                double V0, double ndf0);

// Whether the reference's own method solves the constrained problem at
// alpha within its iteration limit (the rule for the reference solution).
bool ReferenceSolvable(const Problem& P, double alpha);

}  // namespace fluvena::contin::detail
