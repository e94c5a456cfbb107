#include "physics/SampleBounds.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace fluvena;
using namespace fluvena::physics;

// Each bound of what a measurement can be, on both sides, through the check
// a window or the batch applies to what the user typed.
TEST(SampleBounds, EveryBound)
{
    struct Case { double SampleParameters::*field; double value; const char* message; };
    const Case cases[] = {
        {&SampleParameters::temperatureK, 199.99, "the temperature must lie from 200 to 500 K, not 199.99"},
        {&SampleParameters::temperatureK, 200.0, nullptr},
        {&SampleParameters::temperatureK, 500.0, nullptr},
        {&SampleParameters::temperatureK, 500.01, "the temperature must lie from 200 to 500 K, not 500.01"},
        {&SampleParameters::temperatureK, 5.0, "the temperature must lie from 200 to 500 K, not 5"},
        {&SampleParameters::viscosityCp, 0.0099, "the viscosity must lie from 0.01 to 10000 cP, not 0.0099"},
        {&SampleParameters::viscosityCp, 0.01, nullptr},
        {&SampleParameters::viscosityCp, 1e4, nullptr},
        {&SampleParameters::viscosityCp, 10000.5, "the viscosity must lie from 0.01 to 10000 cP, not 10000.5"},
        {&SampleParameters::viscosityCp, 1e-300, "the viscosity must lie from 0.01 to 10000 cP, not 1e-300"},
        {&SampleParameters::refractiveIndex, 0.99, "the refractive index must lie from 1.0 to 3.0, not 0.99"},
        {&SampleParameters::refractiveIndex, 1.0, nullptr},
        {&SampleParameters::refractiveIndex, 3.0, nullptr},
        {&SampleParameters::refractiveIndex, 1e9, "the refractive index must lie from 1.0 to 3.0, not 1e+09"},
        {&SampleParameters::wavelengthNm, 99.5, "the wavelength must lie from 100 to 2000 nm, not 99.5"},
        {&SampleParameters::wavelengthNm, 100.0, nullptr},
        {&SampleParameters::wavelengthNm, 2000.0, nullptr},
        {&SampleParameters::wavelengthNm, 1e300, "the wavelength must lie from 100 to 2000 nm, not 1e+300"},
        {&SampleParameters::angleDeg, 0.0, "the scattering angle must lie strictly between 0 and 180 degrees, not 0"},
        {&SampleParameters::angleDeg, 1e-3, nullptr},
        {&SampleParameters::angleDeg, 179.999, nullptr},
        {&SampleParameters::angleDeg, 180.0, "the scattering angle must lie strictly between 0 and 180 degrees, not 180"},
        {&SampleParameters::angleDeg, NAN, "the scattering angle must lie strictly between 0 and 180 degrees, not nan"},
    };
    for (const Case& c : cases) {
        SampleParameters p;
        p.*c.field = c.value;
        const auto bad = ValidateSample(p);
        if (!c.message) {
            EXPECT_FALSE(bad.has_value()) << c.value << ": " << bad->message();
            continue;
        }
        ASSERT_TRUE(bad.has_value()) << c.message;
        EXPECT_EQ(bad->message(), c.message);
    }
    EXPECT_FALSE(ValidateSample(SampleParameters{}).has_value());
}

// A size is never given from impossible values, nor when it lies beyond the
// range of numbers (an angle of 1e-300 degrees makes q^2 vanish).
TEST(SampleBounds, NoSizeFromImpossibleValues)
{
    SampleParameters p;
    p.temperatureK = 5.0;
    const auto cold = SizeFromRate(1000.0, 0.0, p);
    ASSERT_FALSE(cold.ok());
    EXPECT_EQ(cold.failure().message(), "the temperature must lie from 200 to 500 K, not 5");
    p = SampleParameters{};
    p.angleDeg = 1e-300;
    const auto tiny = ZAverageSize(1000.0, 1.0, p);
    ASSERT_FALSE(tiny.ok());
    EXPECT_EQ(tiny.failure().message(),
              "no size can be given for the decay rate 1000 1/s: the result lies beyond the range of numbers");
}
