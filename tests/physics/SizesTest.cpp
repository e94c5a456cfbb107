#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cmath>

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
    };
    for (const Case& c : cases) {
        SampleParameters p = HeNeWater();
        if (c.field) p.*c.field = c.value;
        const auto s = SizeFromDecayTime(c.tau, c.pct, p);
        ASSERT_FALSE(s) << c.word;
        EXPECT_NE(s.failure().message().find(c.word), std::string::npos) << s.failure().message();
    }
}
