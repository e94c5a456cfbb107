#include "physics/Siegert.h"
#include "physics/SiegertWeights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace fluvena;
using namespace fluvena::physics;

// g1 as the signed square root, and forward to the data's terms; back to g2-1, beta times the signed square of
// g1 and the data less B (for g2) both give y - B, signs and zeros included.
TEST(Siegert, SignedSquareRootOfEveryKindAndBack)
{
    struct Case { DataKind kind; double beta, b; std::vector<double> y, g1; };
    const Case cases[] = {
        {DataKind::G2Minus1, 0.2, 1.0, {0.2, 0.05, 0.0, -0.05, 0.8}, {1.0, 0.5, 0.0, -0.5, 2.0}},  // B unused
        {DataKind::G2, 0.25, 1.0, {1.25, 1.0625, 1.0, 0.9375}, {1.0, 0.5, 0.0, -0.5}},
        {DataKind::G2, 0.25, 1.01, {1.26, 1.01, 1.01 + 1e-6, 1.01 - 2e-4}, {1.0, 0.0, 2e-3, -std::sqrt(8e-4)}},
        {DataKind::G1, 0.0, NAN, {1.0, -0.3, 0.0}, {1.0, -0.3, 0.0}},  // beta and B unused
    };
    for (const Case& c : cases) {
        const auto g1 = FieldCorrelation(c.y, c.kind, c.beta, c.b);
        ASSERT_TRUE(g1) << g1.failure().message();
        ASSERT_EQ(g1->size(), c.g1.size());
        const auto back = IntensityCorrelation(g1.value(), DataKind::G1);
        const auto direct = IntensityCorrelation(c.y, c.kind, c.kind == DataKind::G1 ? 1.0 : c.b);
        ASSERT_TRUE(back && direct);
        const double b = c.kind == DataKind::G2 ? c.b : 0.0;
        // A fit in g1 shown in the data's terms: the data themselves.
        const std::optional<double> beta = c.kind == DataKind::G1 ? std::nullopt : std::optional(c.beta);
        const std::vector<double> forward = FitInDataTerms(g1.value(), beta, b);
        for (std::size_t i = 0; i < c.g1.size(); ++i) {
            EXPECT_NEAR(g1.value()[i], c.g1[i], 1e-12) << i;
            EXPECT_NEAR(forward[i], c.y[i], 1e-15) << i;
            if (c.kind == DataKind::G1) continue;
            EXPECT_NEAR(c.beta * back.value()[i], c.y[i] - b, 1e-15) << i;
            EXPECT_NEAR(direct.value()[i], c.y[i] - b, 1e-15) << i;
        }
    }
}

TEST(Siegert, TailBaselineIsTheMeanOfTheLastTenthAtLeastOnePoint)
{
    SampleParameters p;
    p.baselineMode = BaselineMode::Tail;
    struct Case { int n; double mean; };  // y = 1, 2, ..., n
    for (const Case c : {Case{1, 1.0}, Case{9, 9.0}, Case{25, 24.5}, Case{30, 29.0}, Case{200, 190.5}}) {
        std::vector<double> y(c.n);
        for (int i = 0; i < c.n; ++i) y[i] = i + 1;
        EXPECT_DOUBLE_EQ(BaselineOf(y, p).value(), c.mean) << c.n;
    }
    p.baselineMode = BaselineMode::Fixed;
    p.baseline = 1.002;
    EXPECT_DOUBLE_EQ(BaselineOf(std::vector<double>{5.0}, p).value(), 1.002);
    EXPECT_FALSE(TailBaseline(std::vector<double>{}));
}

TEST(Siegert, GuardsSayWhatIsWrong)
{
    struct Case { std::vector<double> y; DataKind kind; double beta, b; const char* word; };
    const Case cases[] = {
        {{0.1}, DataKind::G2Minus1, 0.0, 1.0, "beta"},
        {{0.1}, DataKind::G2, -0.2, 1.0, "beta"},
        {{0.1}, DataKind::G2Minus1, NAN, 1.0, "beta"},
        {{0.1}, DataKind::G2, INFINITY, 1.0, "beta"},
        {{1.1}, DataKind::G2, 0.2, NAN, "baseline"},
        {{0.1, 0.2, NAN}, DataKind::G1, 0.2, 1.0, "point 3"},
        {{0.1, INFINITY}, DataKind::G2Minus1, 0.2, 1.0, "point 2"},
        {{0.1, 1e300}, DataKind::G2Minus1, 1e-300, 1.0, "point 2"},
    };
    for (const Case& c : cases) {
        const auto g1 = FieldCorrelation(c.y, c.kind, c.beta, c.b);
        ASSERT_FALSE(g1) << c.word;
        EXPECT_NE(g1.failure().message().find(c.word), std::string::npos) << g1.failure().message();
    }
    EXPECT_FALSE(IntensityCorrelation(std::vector<double>{1.0}, DataKind::G2, NAN));
    EXPECT_FALSE(IntensityCorrelation(std::vector<double>{1e200}, DataKind::G1));
    EXPECT_FALSE(IntensityCorrelation(std::vector<double>{NAN}, DataKind::G2Minus1));
}

// The weights of g1 from g2 - 1: the noise is measured where it is (four
// times larger over the first third of the lags than over the rest), the
// weights follow 1 / sigma_g1^2 = 4 beta^2 g1^2 / sigma_y^2 where g1 is
// large, and the tail keeps a small, finite weight.
TEST(Siegert, WeightsFollowThePropagatedNoise)
{
    const double beta = 0.6;
    std::vector<double> t, y, g1;
    std::mt19937 rng(11);
    std::normal_distribution<double> unit;
    const int n = 240;
    for (int k = 0; k < n; ++k) {
        t.push_back(std::pow(10.0, -1.0 + 5.0 * k / (n - 1)));
        g1.push_back(0.6 * std::exp(-t.back() / 20.0) + 0.4 * std::exp(-t.back() / 400.0));
        y.push_back(beta * g1.back() * g1.back() + (k < n / 3 ? 2e-3 : 5e-4) * unit(rng));
    }
    const SiegertWeighting w = SiegertWeights(t, y, beta);
    ASSERT_EQ(w.weights.size(), y.size());
    struct Region { int first, last; double sigma; };
    for (const Region r : {Region{10, 60, 2e-3}, Region{110, 160, 5e-4}, Region{200, 230, 5e-4}}) {
        double sum = 0;
        for (int k = r.first; k <= r.last; ++k) sum += w.sigmaY[static_cast<std::size_t>(k)];
        EXPECT_NEAR(sum / (r.last - r.first + 1) / r.sigma, 1.0, 0.25) << r.first;
    }
    // Two points of the same noise: their weights stand as their g1^2.
    const auto at = [&](int k) { return static_cast<std::size_t>(k); };
    EXPECT_NEAR(w.weights[at(100)] / w.weights[at(150)], g1[at(100)] * g1[at(100)] / (g1[at(150)] * g1[at(150)]) *
                                                             w.sigmaY[at(150)] * w.sigmaY[at(150)] /
                                                             (w.sigmaY[at(100)] * w.sigmaY[at(100)]),
                0.05 * w.weights[at(100)] / w.weights[at(150)]);
    EXPECT_GT(w.weights[at(100)] / w.weights[at(20)], 5.0);  // the noisy early lags count less
    const double tail = w.weights.back();
    EXPECT_GT(tail, 0.0);
    EXPECT_LT(tail, 1e-2);
    EXPECT_TRUE(SiegertWeights(t, std::vector<double>(y.begin(), y.begin() + 5), beta).weights.empty());
    EXPECT_TRUE(SiegertWeights(t, y, 0.0).weights.empty());
}
