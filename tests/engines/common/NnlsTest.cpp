// The active-set solver against the exact optimum found by trying every
// subset of free variables, on seeded random problems of several shapes.
#include "common/Nnls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace fluvena::engine {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// min ||A x - b||, x >= 0, by enumeration: the optimum is the unconstrained
// least-squares solution on some subset that is non-negative there.
double BruteForceResidual(const MatrixXd& a, const VectorXd& b) {
    const int n = static_cast<int>(a.cols());
    double best = b.norm();
    for (int mask = 1; mask < (1 << n); ++mask) {
        MatrixXd sub(a.rows(), 0);
        for (int j = 0; j < n; ++j)
            if (mask & (1 << j)) {
                sub.conservativeResize(Eigen::NoChange, sub.cols() + 1);
                sub.col(sub.cols() - 1) = a.col(j);
            }
        const VectorXd z = sub.colPivHouseholderQr().solve(b);
        if (z.minCoeff() >= 0) best = std::min(best, (sub * z - b).norm());
    }
    return best;
}

struct Shape {
    const char* name;
    int rows, cols;
    bool collinear;  // two columns nearly equal
};

TEST(Nnls, ReachesTheExactOptimumWithOrWithoutAWarmStart) {
    const Shape shapes[] = {{"tall", 30, 6, false}, {"square", 6, 6, false}, {"wide", 4, 7, false}, {"collinear", 25, 5, true}};
    for (const Shape& s : shapes)
        for (unsigned seed = 1; seed <= 10; ++seed) {
            std::mt19937 rng(seed);
            std::normal_distribution<double> g;
            MatrixXd a(s.rows, s.cols);
            for (Eigen::Index i = 0; i < a.size(); ++i) a(i) = g(rng);
            if (s.collinear) a.col(1) = a.col(0) + 1e-9 * a.col(2);
            VectorXd b(s.rows);
            for (Eigen::Index i = 0; i < b.size(); ++i) b(i) = g(rng);
            const double exact = BruteForceResidual(a, b);
            const std::vector<std::vector<int>> warmStarts = {{}, {0, 1, 2, 3}, {s.cols - 1, -3, 99, s.cols - 1}};
            for (const std::vector<int>& warm : warmStarts) {
                const NnlsResult r = SolveNnls(a, b, warm);
                SCOPED_TRACE(testing::Message() << s.name << " seed " << seed << " warm " << warm.size());
                EXPECT_TRUE(r.converged);
                EXPECT_GE(r.x.minCoeff(), 0.0);
                EXPECT_NEAR(r.residualNorm, (a * r.x - b).norm(), 1e-9);
                EXPECT_LE(r.residualNorm, exact * (1 + 1e-7) + 1e-9);
                // The free set is exactly the positive variables, and the
                // gradient vanishes on it and points outward elsewhere.
                const VectorXd w = a.transpose() * (b - a * r.x);
                std::vector<int> positive;
                for (int j = 0; j < s.cols; ++j) {
                    if (r.x(j) > 0) positive.push_back(j);
                    if (s.collinear) continue;
                    EXPECT_LE(w(j), 1e-8) << j;
                    if (r.x(j) > 0) {
                        EXPECT_NEAR(w(j), 0.0, 1e-8) << j;
                    }
                }
                EXPECT_EQ(r.passive, positive);
            }
        }
}

TEST(Nnls, DegenerateInputsAndTheIterationBound) {
    // No columns, a zero matrix, a right-hand side the constraint cuts off.
    EXPECT_TRUE(SolveNnls(MatrixXd(3, 0), VectorXd::Ones(3)).converged);
    const NnlsResult zero = SolveNnls(MatrixXd::Zero(4, 2), VectorXd::Ones(4));
    EXPECT_EQ(zero.x, VectorXd::Zero(2));
    EXPECT_DOUBLE_EQ(zero.residualNorm, 2.0);
    const NnlsResult cut = SolveNnls(MatrixXd::Identity(3, 3), -VectorXd::Ones(3));
    EXPECT_EQ(cut.x, VectorXd::Zero(3));
    EXPECT_TRUE(cut.passive.empty());
    // Three independent positive components need three entries: one allowed
    // step leaves the solver short of the optimum and says so.
    const NnlsResult bounded = SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, 1);
    EXPECT_FALSE(bounded.converged);
    EXPECT_EQ(bounded.passive.size(), 1u);
    EXPECT_TRUE(SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, 3).converged);
}

}  // namespace
}  // namespace fluvena::engine
