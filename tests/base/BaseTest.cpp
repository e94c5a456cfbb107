// Scanning and reading texts, numbers as the program writes them into decks
// and logs (fixed patterns) and for people (significant digits, powers of
// ten, SI prefixes, errors), conversions and the 8-bit code page.
#include "../TestData.h"
#include "io/Cp1250.h"
#include "base/Convert.h"
#include "base/Errors.h"
#include "base/MemoText.h"
#include "base/NumberFormat.h"
#include "base/Readable.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

using namespace fluvena;
using fluvena::testing::Thrown;

TEST(FindFrom, SearchesFromStartAndFailsFromNotFound)
{
    struct Case { const char *needle, *text; Pos start, found; };
    for (const Case& c : {Case{"abc", "abcabc", 0, 0}, Case{"abc", "abcabc", 1, 3}, Case{"abc", "abcabc", 4, kNotFound},
                          Case{"abc", "abcabc", kNotFound, kNotFound}, Case{"abcd", "abc", 0, kNotFound},
                          Case{"c", "abcabc", 5, 5}, Case{"c", "abcabc", 6, kNotFound}})
        EXPECT_EQ(FindFrom(c.needle, c.text, c.start), c.found) << c.needle << " from " << c.start;
}

TEST(Cut, TakesAtMostNAndFailsPastTheEnd)
{
    const std::string t = "12345";
    EXPECT_EQ((std::vector<std::string_view>{Cut(t, 1, 3), Cut(t, 3, 10), Cut(t, 5, 10)}),
              (std::vector<std::string_view>{"234", "45", ""}));
    EXPECT_THROW(Cut(t, 6, 1), OutOfRange);
    EXPECT_THROW(Cut(t, kNotFound, 1), OutOfRange);
}

TEST(Number, FollowsAtofRules)
{
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"1.5", 1.5}, {"  -2.25xyz", -2.25}, {"\t+3", 3.0}, {"abc", 0.0}, {"", 0.0},
        {"6.4D-01", 0.64}, {"2d3", 2000.0}, {"1D", 1.0}, {"1.0E-3", 1e-3}, {"1e", 1.0}, {"1e+", 1.0}, {".5", 0.5},
        {"5.", 5.0}, {"-.", 0.0}, {"1.23456789", 1.23456789}, {"0x10", 0.0}, {"inf", 0.0},
        {"nan", 0.0}, {"1,5", 1.0}, {" \r\n 7", 7.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Number(c.text), c.value) << c.text;
    EXPECT_EQ(Number("1e400"), HUGE_VAL);
    EXPECT_EQ(Number("1e-400"), 0.0);
    // The same rules within a fixed window of a line.
    const std::string t = "xx1.2345678E-05";
    EXPECT_DOUBLE_EQ(NumberAt(t, 2, 10), 1.2345678);
    EXPECT_DOUBLE_EQ(NumberAt(t, 2, 13), 1.2345678e-5);
    EXPECT_THROW(NumberAt(t, 100, 1), OutOfRange);
}

// The window sets the C library's locale from the user's settings; reading
// listings and writing numbers must not follow its decimal comma.
TEST(Number, IgnoresTheCLocale)
{
    char dir[] = "/tmp/fluvena-locale-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string make = std::string("localedef -i pl_PL -f UTF-8 ") + dir + "/pl_PL.UTF-8 >/dev/null 2>&1";
    const bool made = std::system(make.c_str()) == 0;
    ::setenv("LOCPATH", dir, 1);
    const bool comma = made && std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") != nullptr;
    if (comma) {
        EXPECT_EQ(std::localeconv()->decimal_point, std::string(","));
        EXPECT_DOUBLE_EQ(Number("2.5"), 2.5);
        EXPECT_DOUBLE_EQ(Number("1,5"), 1.0);
        EXPECT_EQ(FormatFloat(0.25, Pattern::F5, '.'), "0.25000");
        EXPECT_EQ(FormatFloat(1234.5, Pattern::E2, '.'), "1.23E+03");
        std::setlocale(LC_NUMERIC, "C");
    }
    ::unsetenv("LOCPATH");
    std::system((std::string("rm -rf ") + dir).c_str());
    if (!comma) GTEST_SKIP() << "localedef could not make a locale with a decimal comma";
}

TEST(MemoText, SplitsOnEveryKindOfLineBreak)
{
    using V = std::vector<std::string>;
    for (const auto& [text, lines] : {std::pair<const char*, V>{"", {}}, {"a", {"a"}}, {"a\r\n", {"a"}},
                                      {"a\r\n\r\n", {"a", ""}}, {"a\rb\nc\r\nd", {"a", "b", "c", "d"}}, {"\n", {""}}})
        EXPECT_EQ(SplitLines(text), lines) << ::testing::PrintToString(text);
    EXPECT_EQ(NormalizedText("a\rb\n"), "a\r\nb\r\n");
    EXPECT_EQ(NormalizedText("a\nb"), "a\r\nb");
    EXPECT_EQ(FileText({"x", "", "y"}), "x\r\n\r\ny\r\n");
    EXPECT_EQ(FileText({}), "");
}

TEST(Cp1250, RoundTripsEveryByteAndPolishLetters)
{
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
    EXPECT_EQ(Cp1250ToUtf8("B\xA3\xA5" "D"), "BŁĄD");
    EXPECT_EQ(Utf8ToCp1250("Skł.  stała"), "Sk\xB3.  sta\xB3" "a");
    EXPECT_EQ(Utf8ToCp1250("ŹLE Ż ź ż ę ś ć ń ó"), "\x8FLE \xAF \x9F \xBF \xEA \x9C \xE6 \xF1 \xF3");
    EXPECT_EQ(Utf8ToCp1250("日本"), "??");
}

TEST(Convert, IntegerAndFloatFields)
{
    EXPECT_EQ((std::vector<int>{StrToInt("100"), StrToInt("  -3"), StrToInt("+7"), StrToInt("-2147483648")}),
              (std::vector<int>{100, -3, 7, INT32_MIN}));
    for (const char* bad : {"", "100.5", "1e2", "abc", "12 ", "2147483648", "-", "99999999999999999999"})
        EXPECT_EQ(Thrown<ConversionError>([&] { StrToInt(bad); }),
                  "'" + std::string(bad) + "' is not a valid integer value");
    // Floats take only the separator they are given.
    const std::vector<double> floats{StrToFloat("0.1", '.'), StrToFloat(" 0,25 ", ','), StrToFloat("1E3", '.'),
                                     StrToFloat("-5", ',')};
    EXPECT_EQ(floats, (std::vector<double>{0.1, 0.25, 1000.0, -5.0}));
    for (const char* bad : {"", "0,1", "1e", "abc", "1.2.3", "1e999"})
        EXPECT_EQ(Thrown<ConversionError>([&] { StrToFloat(bad, '.'); }),
                  "'" + std::string(bad) + "' is not a valid floating point value");
    EXPECT_THROW(StrToFloat("0.1", ','), ConversionError);
}

TEST(Divide, RaisesInsteadOfInfinity)
{
    EXPECT_DOUBLE_EQ(Divide(1000.0, 298.15), 1000.0 / 298.15);
    EXPECT_EQ(Thrown<FloatError>([] { Divide(1000.0, 0.0); }), "Floating point division by zero");
    EXPECT_THROW(Divide(1e300, 1e-300), FloatError);
    EXPECT_THROW(Divide(0.0, 0.0), FloatError);
}

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
        // Values that are no numbers are spelled out.
        {HUGE_VAL, Pattern::E4, '.', "INF"}, {-HUGE_VAL, Pattern::F2, '.', "-INF"}, {NAN, Pattern::F2, '.', "NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.v, c.p, c.sep), c.text) << c.v;
    using V = std::vector<std::string>;
    EXPECT_EQ((V{FormatInt(-3), FormatInt(0), FormatInt(100)}), (V{"-3", "0", "100"}));
}

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

TEST(Readable, FixedDecimalsAndSiPrefixes)
{
    using V = std::vector<std::string>;
    EXPECT_EQ((V{ReadableFixed(0.2511, 2, '.'), ReadableFixed(0.2, 2, ','), ReadableFixed(-0.001, 2, '.')}),
              (V{"0.25", "0,20", "0.00"}));
    EXPECT_EQ((V{SiPrefixed(1.8726e7, "m", -1, '.'), SiPrefixed(5.0e-8, "m", 1, '.'), SiPrefixed(2.5e-5, "s", 1, ','),
                 SiPrefixed(1234.5, "Hz", 1, ','), SiPrefixed(0.5, "s", 1, '.')}),
              (V{"18.7 \xC2\xB5m\xE2\x81\xBB\xC2\xB9", "50 nm", "25 \xC2\xB5s", "1,23 kHz", "500 ms"}));
    // 3.15e-13 m^2 is 0.315 um^2 or 315 000 nm^2: no prefix brings it to
    // 1 ... 1000, so a power of ten does.
    EXPECT_EQ(SiPrefixed(3.15e-13, "m", 2, '.'), "3.15\xC2\xB7" "10\xE2\x81\xBB\xC2\xB9\xC2\xB3 m\xC2\xB2");
    EXPECT_EQ(Superscript(-13), "\xE2\x81\xBB\xC2\xB9\xC2\xB3");
}
