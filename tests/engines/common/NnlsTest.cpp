// The active-set solver on seeded random problems of several shapes: the
// optimality conditions, the exact optimum where every subset of free
// variables can be tried, and both kinds of factorization from any warm start.
#include "common/Nnls.h"

#include <gtest/gtest.h>

#include <random>

namespace fluvena::engine {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// The optimum is the least-squares solution on some subset of columns that
// is non-negative there.
double ExactResidual(const MatrixXd& a, const VectorXd& b) {
    double best = b.norm();
    for (int mask = 1; mask < (1 << a.cols()); ++mask) {
        std::vector<int> cols;
        for (int j = 0; j < a.cols(); ++j)
            if (mask & (1 << j)) cols.push_back(j);
        const MatrixXd sub = a(Eigen::all, cols);
        const VectorXd z = sub.colPivHouseholderQr().solve(b);
        if (z.minCoeff() >= 0) best = std::min(best, (sub * z - b).norm());
    }
    return best;
}

// Large problems are of the size the CONTIN engine solves; warm starts from
// no free set, from every variable free and from a scattered set (so that
// columns leave the updated triangle from anywhere in it), and from indices
// outside the columns.
TEST(Nnls, ReachesTheOptimumFromAnyWarmStart) {
    struct Shape { int rows, cols, seeds; bool collinear; };  // collinear: two columns nearly equal
    for (const Shape& s : {Shape{30, 6, 10, false}, Shape{6, 6, 10, false}, Shape{4, 7, 10, false},
                           Shape{25, 5, 10, true}, Shape{90, 60, 4, false}})
        for (unsigned seed = 1; seed <= unsigned(s.seeds); ++seed) {
            std::mt19937 rng(seed);
            std::normal_distribution<double> g;
            MatrixXd a(s.rows, s.cols);
            VectorXd b(s.rows);
            for (Eigen::Index i = 0; i < a.size(); ++i) a(i) = g(rng);
            for (Eigen::Index i = 0; i < b.size(); ++i) b(i) = g(rng);
            if (s.collinear) a.col(1) = a.col(0) + 1e-9 * a.col(2);
            const bool small = s.cols <= 8;
            const double exact = small ? ExactResidual(a, b) : 0.0;
            std::vector<std::vector<int>> warmStarts = {{}, {0, 1, 2, 3}, {s.cols - 1, -3, 99, s.cols - 1}, {}, {}};
            for (int j = 0; j < s.cols; ++j) {
                warmStarts[3].push_back(j);
                if (j % 3 != 1) warmStarts[4].push_back(j);
            }
            const NnlsResult fresh = SolveNnls(a, b);
            for (NnlsUpdates updates : {NnlsUpdates::Fresh, NnlsUpdates::Updated})
                for (const std::vector<int>& warm : warmStarts) {
                    if (!small && updates == NnlsUpdates::Fresh) continue;  // the cost; compared with fresh below
                    const NnlsResult r = SolveNnls(a, b, warm, 0, updates);
                    SCOPED_TRACE(testing::Message() << s.rows << "x" << s.cols << " seed " << seed << " warm "
                                                    << warm.size() << (updates == NnlsUpdates::Updated ? " updated" : " fresh"));
                    ASSERT_TRUE(r.converged);
                    EXPECT_NEAR(r.residualNorm, (a * r.x - b).norm(), 1e-9);
                    std::vector<int> positive;
                    for (int j = 0; j < s.cols; ++j)
                        if (r.x(j) > 0) positive.push_back(j);
                    EXPECT_EQ(r.passive, positive);
                    if (small) {
                        EXPECT_GE(r.x.minCoeff(), 0.0);
                        EXPECT_LE(r.residualNorm, exact * (1 + 1e-7) + 1e-9);
                        continue;
                    }
                    // Zero gradient on the free variables, none pointing into the others.
                    const VectorXd gradient = a.transpose() * (b - a * r.x);
                    for (int j = 0; j < s.cols; ++j) {
                        EXPECT_GE(r.x(j), 0.0);
                        if (r.x(j) > 0) EXPECT_NEAR(gradient(j), 0.0, 1e-10);
                        else EXPECT_LE(gradient(j), 1e-10);
                    }
                    EXPECT_EQ(r.passive, fresh.passive);
                    EXPECT_LE((r.x - fresh.x).norm(), 1e-10 * fresh.x.norm());
                }
        }
}

TEST(Nnls, DegenerateInputsAndTheIterationBound) {
    EXPECT_TRUE(SolveNnls(MatrixXd(3, 0), VectorXd::Ones(3)).converged);
    for (NnlsUpdates updates : {NnlsUpdates::Fresh, NnlsUpdates::Updated}) {
        const NnlsResult zero = SolveNnls(MatrixXd::Zero(4, 2), VectorXd::Ones(4), {0, 1}, 0, updates);
        EXPECT_EQ(zero.x, VectorXd::Zero(2));
        EXPECT_DOUBLE_EQ(zero.residualNorm, 2.0);
    }
    EXPECT_TRUE(SolveNnls(MatrixXd::Identity(3, 3), -VectorXd::Ones(3)).passive.empty());
    // Three positive components need three entries: one allowed step
    // leaves the solver short of the optimum, and it says so.
    const NnlsResult bounded = SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, 1);
    EXPECT_FALSE(bounded.converged);
    EXPECT_EQ(bounded.passive.size(), 1u);
    EXPECT_TRUE(SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, 3).converged);
}

}  // namespace
}  // namespace fluvena::engine
