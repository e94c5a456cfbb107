// Numbers for people: significant digits, powers of ten, SI prefixes and
// errors, with either decimal separator.
#include "base/Readable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace fluvena;

TEST(Readable, SignificantDigits)
{
    struct Case { double value; int digits; char sep; const char* text; };
    const Case cases[] = {
        {779.17, 3, '.', "779"},           {1120.6, 3, '.', "1121"},       {9999.4, 3, '.', "9999"},
        {18.749, 3, '.', "18.7"},          {18.751, 3, ',', "18,8"},       {3.1468, 3, '.', "3.15"},
        {0.25, 3, '.', "0.25"},            {0.0012345, 3, ',', "0,00123"}, {-42.06, 3, '.', "-42.1"},
        {3.1468e-13, 3, '.', "3.15\xC2\xB7" "10\xE2\x81\xBB\xC2\xB9\xC2\xB3"},
        {33448.0, 3, ',', "3,34\xC2\xB7" "10\xE2\x81\xB4"},
        {99995.0, 3, '.', "1\xC2\xB7" "10\xE2\x81\xB5"},  // rounds up into the next power
        {0.0, 3, '.', "0"},                {2.0, 3, '.', "2"},             {1.5, 1, '.', "2"},
        {std::numeric_limits<double>::quiet_NaN(), 3, '.', "\xE2\x80\x93"},
    };
    for (const Case& c : cases) EXPECT_EQ(Readable(c.value, c.sep, c.digits), c.text) << c.value;
}

TEST(Readable, FixedDecimalsKeepTheirZeros)
{
    EXPECT_EQ(ReadableFixed(0.2511, 2, '.'), "0.25");
    EXPECT_EQ(ReadableFixed(0.2, 2, ','), "0,20");
    EXPECT_EQ(ReadableFixed(-0.001, 2, '.'), "0.00");
}

TEST(Readable, ValueWithItsError)
{
    struct Case { double value, error; const char* unit; char sep; const char* text; };
    const Case cases[] = {
        {779.17, 35.2, "nm", '.', "779 nm \xC2\xB1 35"},
        {779.17, 3.52, "nm", ',', "779,2 nm \xC2\xB1 3,5"},
        {0.2511, 0.0123, "", '.', "0.251 \xC2\xB1 0.012"},
        {779.17, 0.0, "nm", '.', "779 nm"},
        {779.17, std::nan(""), "nm", '.', "779 nm"},
        {3.1468e-13, 1.2e-14, "m\xC2\xB2/s", '.', "3.15\xC2\xB7" "10\xE2\x81\xBB\xC2\xB9\xC2\xB3 m\xC2\xB2/s \xC2\xB1 1.2\xC2\xB7" "10\xE2\x81\xBB\xC2\xB9\xE2\x81\xB4"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadableWithError(c.value, c.error, c.unit, c.sep), c.text) << c.value;
}

TEST(Readable, SiPrefixes)
{
    EXPECT_EQ(SiPrefixed(1.8726e7, "m", -1, '.'), "18.7 \xC2\xB5m\xE2\x81\xBB\xC2\xB9");
    EXPECT_EQ(SiPrefixed(5.0e-8, "m", 1, '.'), "50 nm");
    EXPECT_EQ(SiPrefixed(2.5e-5, "s", 1, ','), "25 \xC2\xB5s");
    EXPECT_EQ(SiPrefixed(1234.5, "Hz", 1, ','), "1,23 kHz");
    EXPECT_EQ(SiPrefixed(0.5, "s", 1, '.'), "500 ms");
    // 3.15e-13 m^2 is 0.315 um^2 or 315 000 nm^2: no prefix brings it to
    // 1 ... 1000, so a power of ten does.
    EXPECT_EQ(SiPrefixed(3.15e-13, "m", 2, '.'), "3.15\xC2\xB7" "10\xE2\x81\xBB\xC2\xB9\xC2\xB3 m\xC2\xB2");
    EXPECT_EQ(Superscript(-13), "\xE2\x81\xBB\xC2\xB9\xC2\xB3");
}
