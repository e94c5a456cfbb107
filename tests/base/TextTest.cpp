#include "io/Cp1250.h"
#include "base/Convert.h"
#include "base/Errors.h"
#include "base/MemoText.h"
#include "base/NumberFormat.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <cmath>

#include <clocale>
#include <cstdlib>
#include <string>

using namespace fluvena;

TEST(FindFrom, SearchesFromStartAndFailsFromNotFound)
{
    const std::string t = "abcabc";
    EXPECT_EQ(FindFrom("abc", t, 0), 0u);
    EXPECT_EQ(FindFrom("abc", t, 1), 3u);
    EXPECT_EQ(FindFrom("abc", t, 4), kNotFound);
    EXPECT_EQ(FindFrom("abc", t, kNotFound), kNotFound);
    EXPECT_EQ(FindFrom("abcd", "abc", 0), kNotFound);
    EXPECT_EQ(FindFrom("c", t, 5), 5u);
    EXPECT_EQ(FindFrom("c", t, 6), kNotFound);
}

TEST(Cut, TakesAtMostNAndFailsPastTheEnd)
{
    const std::string t = "12345";
    EXPECT_EQ(Cut(t, 1, 3), "234");
    EXPECT_EQ(Cut(t, 3, 10), "45");
    EXPECT_EQ(Cut(t, 5, 10), "");
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

TEST(NumberAt, ReadsAFixedWindow)
{
    const std::string t = "xx1.2345678E-05";
    EXPECT_DOUBLE_EQ(NumberAt(t, 2, 10), 1.2345678);
    EXPECT_DOUBLE_EQ(NumberAt(t, 2, 13), 1.2345678e-5);
    EXPECT_THROW(NumberAt(t, 100, 1), OutOfRange);
}

TEST(MemoText, SplitsOnEveryKindOfLineBreak)
{
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines("a\rb\nc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("\n"), (std::vector<std::string>{""}));
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

TEST(Convert, IntegerFields)
{
    EXPECT_EQ(StrToInt("100"), 100);
    EXPECT_EQ(StrToInt("  -3"), -3);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "100.5", "1e2", "abc", "12 ", "2147483648", "-", "99999999999999999999"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(Convert, FloatFieldsUseTheGivenSeparatorOnly)
{
    EXPECT_DOUBLE_EQ(StrToFloat("0.1", '.'), 0.1);
    EXPECT_DOUBLE_EQ(StrToFloat(" 0,25 ", ','), 0.25);
    EXPECT_DOUBLE_EQ(StrToFloat("1E3", '.'), 1000.0);
    EXPECT_DOUBLE_EQ(StrToFloat("-5", ','), -5.0);
    for (const char* bad : {"", "0,1", "1e", "abc", "1.2.3", "1e999"}) {
        try {
            StrToFloat(bad, '.');
            ADD_FAILURE() << bad;
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    EXPECT_THROW(StrToFloat("0.1", ','), ConversionError);
}

TEST(Divide, RaisesInsteadOfInfinity)
{
    EXPECT_DOUBLE_EQ(Divide(1000.0, 298.15), 1000.0 / 298.15);
    try {
        Divide(1000.0, 0.0);
        ADD_FAILURE();
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    EXPECT_THROW(Divide(1e300, 1e-300), FloatError);
    EXPECT_THROW(Divide(0.0, 0.0), FloatError);
}
