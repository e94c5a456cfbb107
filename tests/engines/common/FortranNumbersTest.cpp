// Fortran input fields and the fixed-width fields of the listings.
#include "common/FortranNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace fluvena::engine {
namespace {

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
        EXPECT_EQ(s10.size(), 10u) << v;
        EXPECT_EQ(s7.size(), 7u) << v;
        EXPECT_NEAR(std::strtod(s10.c_str(), nullptr), v, std::abs(v) * 5e-3) << v;
    }

    struct FCase { double v; int width, decimals; const char* text; };
    const FCase fs[] = {{0.16549, 5, 3, "0.165"}, {0.5, 9, 3, "    0.500"},  {-0.0002, 6, 3, " 0.000"},
                        {-0.25, 6, 3, "-0.250"},  {12345.6, 6, 1, "******"}, {2e30, 8, 1, "********"},
                        {INFINITY, 4, 1, "****"}};
    for (const FCase& c : fs) EXPECT_EQ(FormatF(c.v, c.width, c.decimals), c.text) << c.v;
}

}  // namespace
}  // namespace fluvena::engine
