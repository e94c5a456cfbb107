// Sizes from decay rates, the bounds of what a measurement can be, and the
// Siegert relation between the intensity and field correlations.
#include "physics/SampleBounds.h"
#include "physics/Siegert.h"
#include "physics/SiegertWeights.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace fluvena;
using namespace fluvena::physics;

namespace {

// 90 degrees, n 1.332.
SampleParameters HeNeWater(TimeUnit unit = TimeUnit::Seconds)
{
    return {.wavelengthNm = 632.8, .temperatureK = 298.15, .viscosityCp = 0.890, .timeUnit = unit};
}

}  // namespace

TEST(Sizes, HandComputedValuesAndSolventPresets)
{
    // q = 4 pi 1.332 sin(45 deg) / 632.8e-9 m = 1.87039e7 1/m.
    EXPECT_NEAR(ScatteringVector(HeNeWater()).value(), 1.8704e7, 1e3);
    struct Case { Solvent s; double t, eta, n; };
    for (const Case& c : {Case{Solvent::Water, 293.15, 1.002, 1.332}, Case{Solvent::Water, 298.15, 0.890, 1.332},
                          Case{Solvent::Toluene, 298.15, 0.560, 1.496}, Case{Solvent::Ethanol, 298.15, 1.074, 1.361}}) {
        const auto v = SolventAt(c.s, c.t);
        ASSERT_TRUE(v);
        EXPECT_NEAR(v->viscosityCp, c.eta, 5e-4) << c.t;
        EXPECT_EQ(v->refractiveIndex, c.n);
    }
    EXPECT_FALSE(SolventAt(Solvent::Custom, 298.15));
    EXPECT_FALSE(SolventAt(Solvent::Water, 200.0));  // ice, near the pole of the Vogel form
    EXPECT_FALSE(SolventAt(Solvent::Water, 400.0));
    for (Solvent s : {Solvent::Water, Solvent::Toluene, Solvent::Ethanol, Solvent::Custom}) EXPECT_EQ(SolventFromName(SolventName(s)), s);
    EXPECT_EQ(SolventFromName("benzene"), std::nullopt);
}

TEST(Sizes, FiftyNanometreSphereFromItsDecayTimeInEveryUnit)
{
    // By hand: D = k_B T / (6 pi eta R) = 1.380649e-23 * 298.15 / (6 pi 0.890e-3 * 50e-9)
    // = 4.907462e-12 m^2/s; tau = 1 / (D q^2) = 5.824757e-4 s; z-average diameter 100 nm.
    const double tauS = 5.824757e-4, d = 4.907462e-12;
    struct Case { TimeUnit unit; double perSecond; };
    for (const Case c : {Case{TimeUnit::Seconds, 1.0}, Case{TimeUnit::Milliseconds, 1e3}, Case{TimeUnit::Microseconds, 1e6},
                         Case{TimeUnit::Nanoseconds, 1e9}}) {
        const auto s = SizeFromDecayTime(tauS * c.perSecond, 2.0, HeNeWater(c.unit));
        ASSERT_TRUE(s) << s.failure().message();
        EXPECT_NEAR(s->radiusNm, 50.0, 1e-4) << c.perSecond;
        EXPECT_NEAR(s->radiusErrNm, 1.0, 1e-5);  // 2 % of 50 nm
        EXPECT_NEAR(s->diffusion / d, 1.0, 1e-6);
        EXPECT_NEAR(s->diffusionErr / d, 0.02, 1e-8);
        EXPECT_NEAR(s->rate * tauS, 1.0, 1e-9);
        EXPECT_NEAR(s->rateErr * tauS, 0.02, 1e-9);
    }
    const auto z = ZAverageSize(1.0 / tauS, 0.01 / tauS, HeNeWater());
    ASSERT_TRUE(z);
    EXPECT_NEAR(z->diameterNm, 100.0, 2e-4);
    EXPECT_NEAR(z->radiusNm, 50.0, 1e-4);
    EXPECT_NEAR(z->diameterErrNm, 1.0, 1e-5);
}

TEST(Sizes, ImpossibleInputsFailWithTheReason)
{
    struct Case { double tau, pct; double SampleParameters::*field; double value; const char* word; };
    const Case cases[] = {
        {0.0, 1, nullptr, 0, "decay time"},   {-1.0, 1, nullptr, 0, "decay time"}, {NAN, 1, nullptr, 0, "decay time"},
        {1.0, -1, nullptr, 0, "error"},       {1.0, NAN, nullptr, 0, "error"},
        {1.0, 1, &SampleParameters::angleDeg, 0, "angle"},
        {1.0, 1, &SampleParameters::angleDeg, 180.5, "angle"},
        {1.0, 1, &SampleParameters::wavelengthNm, 0, "wavelength"},
        {1.0, 1, &SampleParameters::refractiveIndex, -1.3, "refractive index"},
        {1.0, 1, &SampleParameters::temperatureK, 0, "temperature"},
        {1.0, 1, &SampleParameters::viscosityCp, INFINITY, "viscosity"},
        // Impossible values are refused before any size is worked out.
        {1.0, 1, &SampleParameters::temperatureK, 5.0, "the temperature must lie from 200 to 500 K, not 5"},
        // An angle of 1e-300 degrees makes q^2 vanish: the size lies beyond the range of numbers.
        {1.0, 1, &SampleParameters::angleDeg, 1e-300, "no size can be given for the decay rate 1 1/s"},
    };
    for (const Case& c : cases) {
        SampleParameters p = HeNeWater();
        if (c.field) p.*c.field = c.value;
        const auto s = SizeFromDecayTime(c.tau, c.pct, p);
        ASSERT_FALSE(s) << c.word;
        EXPECT_NE(s.failure().message().find(c.word), std::string::npos) << s.failure().message();
    }
}

// Each bound of what a measurement can be, on both sides, through the check
// a window or the batch applies to what the user typed; a refused value is
// named as the message writes it.
TEST(SampleBounds, EveryBound)
{
    struct Case {
        double SampleParameters::*field;
        const char* message;
        std::vector<const char*> refused;
        std::vector<double> accepted;
    };
    const Case cases[] = {
        {&SampleParameters::temperatureK, "the temperature must lie from 200 to 500 K, not ", {"199.99", "500.01", "5"},
         {200.0, 500.0}},
        {&SampleParameters::viscosityCp, "the viscosity must lie from 0.01 to 10000 cP, not ",
         {"0.0099", "10000.5", "1e-300"}, {0.01, 1e4}},
        {&SampleParameters::refractiveIndex, "the refractive index must lie from 1.0 to 3.0, not ", {"0.99", "1e+09"},
         {1.0, 3.0}},
        {&SampleParameters::wavelengthNm, "the wavelength must lie from 100 to 2000 nm, not ", {"99.5", "1e+300"},
         {100.0, 2000.0}},
        {&SampleParameters::angleDeg, "the scattering angle must lie strictly between 0 and 180 degrees, not ",
         {"0", "180", "nan"}, {1e-3, 179.999}},
    };
    for (const Case& c : cases) {
        const auto validated = [&](double value) {
            SampleParameters p;
            p.*c.field = value;
            const auto bad = ValidateSample(p);
            return bad ? bad->message() : std::string("(accepted)");
        };
        for (const char* value : c.refused) EXPECT_EQ(validated(std::stod(value)), c.message + std::string(value));
        for (const double value : c.accepted) EXPECT_EQ(validated(value), "(accepted)") << value;
    }
    EXPECT_FALSE(ValidateSample(SampleParameters{}).has_value());
}

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
    p.baselineMode = BaselineMode::Fixed, p.baseline = 1.002;
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
    // Two points of the same noise: their weights stand as their (g1 / sigma_y)^2.
    const auto propagated = [&](std::size_t k) { return std::pow(g1[k] / w.sigmaY[k], 2); };
    const double ratio = w.weights[100] / w.weights[150];
    EXPECT_NEAR(ratio, propagated(100) / propagated(150), 0.05 * ratio);
    EXPECT_GT(w.weights[100] / w.weights[20], 5.0);  // the noisy early lags count less
    EXPECT_TRUE(w.weights.back() > 0.0 && w.weights.back() < 1e-2) << w.weights.back();
    EXPECT_TRUE(SiegertWeights(t, std::vector<double>(y.begin(), y.begin() + 5), beta).weights.empty());
    EXPECT_TRUE(SiegertWeights(t, y, 0.0).weights.empty());
}
