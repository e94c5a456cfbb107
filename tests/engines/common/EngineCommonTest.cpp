// What both engines share: the active-set solver on seeded random problems
// of several shapes (the optimality conditions, the exact optimum where every
// subset of free variables can be tried, both kinds of factorization from any
// warm start); F-tests against published critical values of the F
// distribution and the serial-correlation test on constructed residuals;
// Fortran input fields and the fixed-width fields of the listings; and the
// engines' exit status.
#include "common/FortranNumbers.h"
#include "common/Nnls.h"
#include "common/Statistics.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

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
            // The book's rules ignore a warm start: they run once.
            struct Mode { NnlsUpdates updates; NnlsRules rules; const char* name; };
            for (const Mode& m : {Mode{NnlsUpdates::Fresh, NnlsRules::Tolerant, "fresh"},
                                  Mode{NnlsUpdates::Updated, NnlsRules::Tolerant, "updated"},
                                  Mode{NnlsUpdates::Updated, NnlsRules::LawsonHanson, "book"}})
                for (const std::vector<int>& warm : warmStarts) {
                    if (!small && m.updates == NnlsUpdates::Fresh) continue;  // the cost; compared with fresh below
                    if (m.rules == NnlsRules::LawsonHanson && &warm != &warmStarts[0]) continue;
                    const NnlsResult r = SolveNnls(a, b, warm, 0, m.updates, m.rules);
                    SCOPED_TRACE(testing::Message() << s.rows << "x" << s.cols << " seed " << seed << " warm "
                                                    << warm.size() << " " << m.name);
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
    // A column of denormal size would need a coefficient beyond the double
    // range: no solution, said so, and no infinity handed on.
    for (NnlsRules rules : {NnlsRules::Tolerant, NnlsRules::LawsonHanson}) {
        const NnlsResult over = SolveNnls(MatrixXd::Constant(1, 1, 1e-310), VectorXd::Constant(1, 1e300), {}, 0,
                                          NnlsUpdates::Updated, rules);
        EXPECT_FALSE(over.converged);
        EXPECT_EQ(over.x, VectorXd::Zero(1));
    }
    // Three positive components need three entries: one allowed step
    // leaves the solver short of the optimum, and it says so.
    const NnlsResult bounded = SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, 1);
    EXPECT_FALSE(bounded.converged);
    EXPECT_EQ(bounded.passive.size(), 1u);
    EXPECT_TRUE(SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, 3).converged);
    // By the book's rules the bound counts feasibility checks: one for each
    // of the three entries here.
    for (int bound : {2, 3})
        EXPECT_EQ(SolveNnls(MatrixXd::Identity(3, 3), VectorXd::Constant(3, 2.0), {}, bound, NnlsUpdates::Updated,
                            NnlsRules::LawsonHanson)
                      .converged,
                  bound == 3);
}

TEST(Statistics, FTestsAtTabulatedCriticalValues) {
    // Upper critical values F(p; d1, d2) from the standard tables.
    struct Case { double f, d1, d2, p; };
    for (const Case& c : {Case{4.965, 1, 10, 0.95}, Case{3.493, 2, 20, 0.95}, Case{5.849, 2, 20, 0.99}})
        EXPECT_NEAR(FCdf(c.f, c.d1, c.d2), c.p, 1e-3) << c.f;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FCdf(-1.0, 2, 20), 0.0);
    EXPECT_EQ(FCdf(std::nan(""), 2, 20), 0.0);
    EXPECT_EQ(FCdf(inf, 2, 20), 1.0);
    // Two extra parameters lowering chi^2 by 2 x 3.493 against 20 residual
    // degrees of freedom of unit variance: the 95 % point.
    EXPECT_NEAR(ProbabilityBetter(20 + 2 * 3.493, 3, 20, 5, 25), 0.95, 1e-3);
    EXPECT_EQ(ProbabilityBetter(20, 3, 20, 5, 25), 0.0);   // no improvement
    EXPECT_EQ(ProbabilityBetter(30, 3, 20, 5, 5), 0.0);    // no residual degrees of freedom
    EXPECT_EQ(ProbabilityBetter(30, 3, 0, 5, 25), 1.0);    // the larger fit is exact
    EXPECT_EQ(ProbabilityBetter(inf, 3, 20, 5, 25), 0.0);
}

TEST(Statistics, SerialCorrelationOfConstructedResiduals) {
    // A pattern in either direction, or residuals stuck on one side of zero,
    // is improbable at every lag, whatever the residuals' scale.
    const std::vector<double (*)(int)> patterns = {
        [](int i) { return i % 2 ? -1.0 : 1.0; },
        [](int i) { return 1e300 * std::sin(2 * M_PI * i / 60.0); },
        [](int i) { return 2.0 + 0.01 * std::sin(i * 1.7); },
    };
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        std::vector<double> r;
        for (int i = 0; i < 100; ++i) r.push_back(patterns[p](i));
        EXPECT_LT(TestSerialCorrelation(r).punc, 0.01) << p;
    }
    // White noise: about 5 % of the lag probabilities below 0.05, PUNC
    // mostly far from 0 and 1.
    std::mt19937 rng(11);
    std::normal_distribution<double> g;
    int below = 0, middling = 0;
    for (int s = 0; s < 300; ++s) {
        std::vector<double> r;
        for (int i = 0; i < 100; ++i) r.push_back(g(rng));
        const SerialCorrelationTest t = TestSerialCorrelation(r);
        for (double p : t.lagProb) below += p < 0.05;
        middling += t.punc > 0.1 && t.punc < 0.9;
    }
    EXPECT_NEAR(below / (300.0 * kSerialLags), 0.05, 0.02);
    EXPECT_GT(middling, 225);
    // PUNC weighs lag K by 1/K and leaves out lags the points cannot reach.
    const SerialCorrelationTest shortOne = TestSerialCorrelation({0.5, -1.0, 0.25, 2.0});
    for (int k = 2; k < kSerialLags; ++k) EXPECT_EQ(shortOne.lagProb[static_cast<std::size_t>(k)], -1.0) << k;
    EXPECT_NEAR(shortOne.punc, (shortOne.lagProb[0] + shortOne.lagProb[1] / 2) / 1.5, 1e-12);
    for (double p : TestSerialCorrelation(std::vector<double>(20, 0.0)).lagProb) EXPECT_EQ(p, 1.0);
}

// A field that is refused leaves the value as it was.
TEST(FortranNumbers, ReadsInputFields) {
    const std::pair<const char*, double> numbers[] = {
        {"  1.", 1.0},  {"-1.", -1.0}, {"1.00E-01", 0.1}, {" 2.5D+02 ", 250.0}, {"1.5D-01", 0.15}, {"2.5d3", 2500.0},
        {"3q2", 300.0}, {"1.5-02", 0.015}, {"1.5+2", 150.0}, {"+.5", 0.5}, {"5.", 5.0}, {"100", 100.0},
        {"", 0.0},      {"   ", 0.0},  {"1e-400", 0.0}};
    for (const auto& [text, want] : numbers) {
        double v = -12345.0;
        EXPECT_TRUE(ParseFortranNumber(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, want) << text;
    }
    for (const std::string text : {"abc", "1.0.0", "1 2", "1E", "1e+", "1E999", "nan", "inf", "0x10", "-", ".", "3,5",
                                   "1.0E+00005", "1.5E-1x",
                                   "1111111111111111111111111111111111111111111111111111111111111"}) {
        double v = -12345.0;
        EXPECT_FALSE(ParseFortranNumber(text, v)) << text;
        EXPECT_EQ(v, -12345.0) << text;
    }
    const std::pair<const char*, int> wholes[] = {{"6", 6}, {"+12", 12}, {"-3", -3}, {"2147483647", 2147483647}};
    for (const auto& [text, want] : wholes) {
        int n = -7;
        EXPECT_TRUE(ParseWholeNumber(text, n) && n == want) << text;
    }
    for (const char* text : {"2147483648", "", "-", "1.0", "1e2", " 5"}) {
        int n = -7;
        EXPECT_FALSE(ParseWholeNumber(text, n)) << text;
        EXPECT_EQ(n, -7) << text;
    }
}

TEST(FortranNumbers, WritesFieldsOfTheirWidth) {
    struct ECase { double v; int width, decimals; char letter; Tiny tiny; const char* text; };
    const ECase es[] = {
        {0.1234567, 10, 3, 'E', Tiny::kShow, " 1.235E-01"}, {-0.0, 9, 3, 'E', Tiny::kShow, "0.000E+00"},
        {-2.5e-3, 11, 4, 'D', Tiny::kShow, "-2.5000D-03"},  {1.5e-120, 9, 3, 'E', Tiny::kShow, "1.50E-120"},
        {1.5e-120, 9, 3, 'E', Tiny::kZero, "0.000E+00"},    {-7e-300, 7, 1, 'E', Tiny::kShow, "-7E-300"},
        {-7e-300, 6, 1, 'E', Tiny::kShow, "******"},        {NAN, 5, 1, 'E', Tiny::kShow, "*****"},
    };
    for (const ECase& c : es) EXPECT_EQ(FormatE(c.v, c.width, c.decimals, c.letter, c.tiny), c.text) << c.v;
    // Whatever the value, the field keeps its width and reads back.
    for (double v : {0.0, 1.0, 9.9996, 1e-99, 1.5e-100, 1e99, 3e150, 1e308, -7e-300, -123.456}) {
        const std::string s10 = FormatE(v, 10, 3), s7 = FormatE(v, 7, 1);
        EXPECT_EQ(std::pair(s10.size(), s7.size()), (std::pair<std::size_t, std::size_t>(10, 7))) << v;
        EXPECT_NEAR(std::strtod(s10.c_str(), nullptr), v, std::abs(v) * 5e-3) << v;
    }

    struct FCase { double v; int width, decimals; const char* text; };
    const FCase fs[] = {{0.16549, 5, 3, "0.165"}, {0.5, 9, 3, "    0.500"},  {-0.0002, 6, 3, " 0.000"},
                        {-0.25, 6, 3, "-0.250"},  {12345.6, 6, 1, "******"}, {2e30, 8, 1, "********"},
                        {INFINITY, 4, 1, "****"}};
    for (const FCase& c : fs) EXPECT_EQ(FormatF(c.v, c.width, c.decimals), c.text) << c.v;
}

// Both engines exit with 0 after writing their listing and with 3 when
// standard output cannot take it (here a device that is always full): a
// large listing fails while being written, a short one when flushed.
TEST(EngineExit, StatusSaysWhetherTheListingWasWritten) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    const std::pair<const char*, const char*> engines[] = {
        {DISCRETE_EXE, FLUVENA_TEST_DATA "/bimodal.discrete.in"},  // a listing of some 20 kB
        {CONTIN_EXE, FLUVENA_TEST_DATA "/badng.contin.in"},        // a rejection of a few lines
    };
    for (const auto& [exe, deck] : engines)
        for (const auto& [output, want] : {std::pair{"/dev/null", 0}, std::pair{"/dev/full", 3}}) {
            const int status = std::system((std::string("'") + exe + "' < '" + deck + "' > " + output).c_str());
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, want) << exe << " > " << output;
        }
}

}  // namespace
}  // namespace fluvena::engine
