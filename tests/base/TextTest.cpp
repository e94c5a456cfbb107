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
    struct Case { const char *needle, *text; Pos start, found; };
    for (const Case& c : {Case{"abc", "abcabc", 0, 0}, Case{"abc", "abcabc", 1, 3}, Case{"abc", "abcabc", 4, kNotFound},
                          Case{"abc", "abcabc", kNotFound, kNotFound}, Case{"abcd", "abc", 0, kNotFound},
                          Case{"c", "abcabc", 5, 5}, Case{"c", "abcabc", 6, kNotFound}})
        EXPECT_EQ(FindFrom(c.needle, c.text, c.start), c.found) << c.needle << " from " << c.start;
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
    using V = std::vector<std::string>;
    for (const auto& [text, lines] : {std::pair<const char*, V>{"", {}}, {"a", {"a"}}, {"a\r\n", {"a"}},
                                      {"a\r\n\r\n", {"a", ""}}, {"a\rb\nc\r\nd", {"a", "b", "c", "d"}}, {"\n", {""}}})
        EXPECT_EQ(SplitLines(text), lines) << testing::PrintToString(text);
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

namespace {

// The message of the E that f throws; "(no error)" when it returns.
template <class E, class F>
std::string Thrown(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

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
