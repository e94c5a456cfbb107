#include "base/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace fluvena;

TEST(FormatFloat, PatternsAsTheProgramWritesThem)
{
    struct Case { double v; Pattern p; char sep; const char* text; };
    const Case cases[] = {
        {0.1, Pattern::E2, '.', "1.00E-01"}, {1000, Pattern::E2, '.', "1.00E+03"},
        {12345, Pattern::E2, '.', "1.23E+04"}, {0.00012345, Pattern::E2, '.', "1.23E-04"},
        {0, Pattern::E2, '.', "0.00E+00"}, {-0.5, Pattern::E2, '.', "-5.00E-01"}, {9.996, Pattern::E2, '.', "1.00E+01"},
        {1e100, Pattern::E2, '.', "1.00E+100"}, {0, Pattern::E3, ',', "0,000E+00"},
        {0.95, Pattern::E3, '.', "9.500E-01"}, {987.651, Pattern::E3, '.', "9.877E+02"},
        {987.65, Pattern::E3, '.', "9.876E+02"},  // stored as 987.64999999999998
        {0.146635, Pattern::F5, '.', "0.14663"},  // stored just below the tie
        {0.015625, Pattern::F5, '.', "0.01563"},  // an exact tie goes up
        {0.125, Pattern::F2, '.', "0.13"}, {-0.5, Pattern::E3, '.', "-5.000E-01"},
        {0.000123456, Pattern::E3, '.', "1.235E-04"}, {0.0012345, Pattern::E4, '.', "1.2345E-03"},
        {250, Pattern::E4, ',', "2,5000E+02"}, {0.000123456, Pattern::E4, '.', "1.2346E-04"},
        {-300, Pattern::E4, '.', "-3.0000E+02"}, {0, Pattern::E4, '.', "0.0000E+00"},
        {0.25, Pattern::F5, '.', "0.25000"}, {0.0000012, Pattern::F5, '.', "0.00000"},
        {-0.0000012, Pattern::F5, '.', "0.00000"}, {-1.5, Pattern::F5, '.', "-1.50000"},
        {123456789.0, Pattern::F5, '.', "123456789.00000"}, {999999.999996, Pattern::F5, '.', "1000000.00000"},
        {0.000005, Pattern::F5, '.', "0.00001"}, {0.0000049, Pattern::F5, '.', "0.00000"},
        {1.125, Pattern::E2, '.', "1.13E+00"}, {12.3456, Pattern::F3, '.', "12.346"},
        {0.123456, Pattern::F3, ',', "0,123"}, {0.0456, Pattern::F3, '.', "0.046"}, {25, Pattern::F2, ',', "25,00"},
        {1000 / 298.15, Pattern::F2, '.', "3.35"}, {-0.0, Pattern::F2, '.', "0.00"},
        {1234567.891, Pattern::F2, '.', "1234567.89"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.v, c.p, c.sep), c.text) << c.v;
}

TEST(FormatFloat, NonFiniteValuesAreSpelledOutAndIntegersPlain)
{
    using V = std::vector<std::string>;
    const V nonFinite{FormatFloat(HUGE_VAL, Pattern::E4, '.'), FormatFloat(-HUGE_VAL, Pattern::F2, '.'),
                      FormatFloat(NAN, Pattern::F2, '.')};
    EXPECT_EQ(nonFinite, (V{"INF", "-INF", "NAN"}));
    EXPECT_EQ((V{FormatInt(-3), FormatInt(0), FormatInt(100)}), (V{"-3", "0", "100"}));
}
