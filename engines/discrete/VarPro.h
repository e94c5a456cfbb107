#pragma once
// Weighted least squares of a sum of exponentials plus a constant,
//   min over a, b, lambda of  sum_k w_k (y_k - b - sum_j a_j exp(-lambda_j t_k))^2,
// by variable projection (Golub and Pereyra, SIAM J. Numer. Anal. 10, 1973,
// 413): for fixed rates the amplitudes and the baseline are a linear
// least-squares problem (non-negative under NONNEG) and are projected out;
// Levenberg-Marquardt works on the log-rates theta_j = ln lambda_j alone:
//   (J^T J + mu diag(J^T J)) delta = -J^T r,
// J the Jacobian of the projected residuals r(theta) = P(theta) W^1/2 y.
// Internal to the DISCRETE engine.
#include "discrete/ExpFit.h"

#include <Eigen/Dense>

#include <vector>

namespace fluvena::discrete::detail {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// The problem in scaled units: abscissae divided by T, ordinates by Y, so that
// both are of order one whatever the data's units; rates are then multiplied
// by T and amplitudes divided by Y.
struct Problem {
    VectorXd t, y, sw;  // scaled abscissae, ordinates, square roots of the weights
    Eigen::Index n = 0;  // points
    bool base = true, nonneg = false;
    double thLo = 0, thHi = 0;  // bounds of ln(rate)
    int maxIterations = 100;
};

struct Params {
    VectorXd a, th;  // amplitudes, logarithms of the rates
    double b = 0;
};

// The basis exp(-exp(th_j) t_k) at every point.
void Basis(const Problem& p, const VectorXd& th, MatrixXd& e);

// sum w r^2 of parameters q; e receives the basis, r the weighted residuals.
double Chi2(const Problem& p, const Params& q, MatrixXd& e, VectorXd& r);

struct LmOutcome {
    Params q;
    double chi2 = 0;
    int iterations = 0;
    bool converged = false;
    std::vector<Iteration> history;  // scaled units
};

// Levenberg-Marquardt in the log-rates from th (see VarPro.cpp); a start
// still abandonAbove times worse than the best so far after some iterations
// is dropped.
LmOutcome Levenberg(const Problem& p, VectorXd th, double abandonAbove);

}  // namespace fluvena::discrete::detail
