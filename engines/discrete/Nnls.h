#pragma once
// Non-negative least squares, min ||A x - b|| subject to x >= 0, by the
// active-set method of Lawson and Hanson. The matrix is first reduced to its
// triangular factor, so each step of the method works on a small square
// problem whatever the number of rows.
#include <Eigen/Dense>

namespace fluvena::discrete {

struct NnlsResult {
    Eigen::VectorXd x;
    double residualNorm = 0;
    int iterations = 0;
    bool converged = false;  // false when the iteration bound stopped it
};

NnlsResult SolveNnls(const Eigen::MatrixXd& a, const Eigen::VectorXd& b);

}  // namespace fluvena::discrete
