#include "discrete/DiscreteListing.h"

#include "DiscreteTestData.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace fluvena;
using fluvena::testing::LoadedWorkspace;
using fluvena::testing::Points;
using fluvena::testing::ReadFixture;
using Status = DiscreteParse::Status;

namespace {

// A listing as the run sees it: the memo's text with CR LF line ends.
std::string Listing(const std::string& name) { return NormalizedText(ReadFixture(name)); }

struct Printed {
    int componentCount;
    std::vector<double> amplitude, amplitudeErr, rate, rateErr;
    double baseline, punc;
};

void ExpectSolution(const RozwiazanieDisc& r, const Printed& p, const Workspace& ws, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(r.componentCount, p.componentCount);
    EXPECT_EQ(r.amplitude, p.amplitude);
    EXPECT_EQ(r.amplitudeErr, p.amplitudeErr);
    EXPECT_EQ(r.rate, p.rate);
    EXPECT_EQ(r.rateErr, p.rateErr);
    EXPECT_EQ(r.baseline, p.baseline);
    EXPECT_EQ(r.punc, p.punc);
    const auto n = static_cast<std::size_t>(ws.RangeCount);
    ASSERT_EQ(r.fitX.size(), n);
    ASSERT_EQ(r.fitY.size(), n);
    ASSERT_EQ(r.residual.size(), n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = static_cast<std::size_t>(ws.FirstPoint) + k;
        double y = 0.0;
        for (std::size_t j = 0; j < p.amplitude.size(); ++j) y += p.amplitude[j] * std::exp(-ws.DataX[i] * p.rate[j]);
        y += p.baseline;
        EXPECT_EQ(r.fitX[k], ws.DataX[i]);
        EXPECT_EQ(r.fitY[k], y);
        EXPECT_EQ(r.residual[k], ws.DataY[i] - y);
    }
}

// Builds listings laid out like DISCRETE's: a row's value windows start at
// offsets 0, 21, 37, 58 of the row's third column, the sign one column
// before.
struct Component {
    const char* amplitude;  // sign column + 9 characters, e.g. " 3.991E-01" or "-4.214E-04"
    const char* amplitudeErr;
    const char* rate;
    const char* rateErr;
    bool exact = false;
};

std::string Row(const Component& c)
{
    char buf[200];
    std::snprintf(buf, sizeof buf, " *%10s +- 1.0E-03 %8s       %10s +- 1.0E-04 %8s *         4.990E-03", c.amplitude,
                  c.amplitudeErr, c.rate, c.rateErr);
    std::string row = buf;
    if (c.exact) row += " (NO EXACT FIT TO THE TRANSFORMS FOUND)";
    return row + "\r\n";
}

std::string Solution(const char* count, const std::vector<Component>& rows, const char* baseline, const char* punc)
{
    std::string s = "                                     BEST SOLUTION           " + std::string(count) +
                    " COMPONENTS\r\n\r\n";
    s += " **********************************************************************\r\n";
    std::string header = " *     ALPHA +- STD ERR  PERCENT           LAMBDA +- STD ERR  PERCENT *   STARTING LAMBDA";
    header.resize(126, ' ');
    s += header + "\r\n";
    for (const auto& c : rows) s += Row(c);
    s += Row({baseline, "25.734", " 0.000E+00", "0.000"});
    s += " **********************************************************************\r\n\r\n";
    s += " PROB. RESIDUALS UNCORRELATED    0.008    0.240    0.184    0.001    0.941    WEIGHTED AVERAGE = * PUNC =" +
         std::string(punc) + " *\r\n";
    return s;
}

const std::string kHead = "1DISCRETE - Version 2B (December 1990)          nazwa.in\r\n\r\n";
const std::string kSecondTitle = "1DISCRETE - Version 2B (December 1990)          nazwa.in\r\n\r\n";

}  // namespace

TEST(DiscreteListing, BimodalFixture)
{
    const auto ws = LoadedWorkspace("bimodal.txt", 0, 99);
    const auto parse = ParseDiscreteListing(Listing("bimodal.discrete.out"), ws);
    EXPECT_EQ(parse.status, Status::Ok);
    EXPECT_FALSE(parse.uncertain);
    ASSERT_EQ(parse.solutions.size(), 3u);
    // The numbers as the listing prints them; the error columns read are the
    // PERCENT ones.
    ExpectSolution(parse.solutions[0],
                   {2, {3.991E-01, 6.008E-01}, {0.913, 0.930}, {4.961E-03, 9.945E-02}, {1.088, 2.238}, -4.214E-04, 0.166},
                   ws, "best");
    ExpectSolution(parse.solutions[1],
                   {3, {3.042E-01, 9.849E-02, 5.982E-01}, {273.616, 839.955, 1.297},
                    {4.668E-03, 6.376E-03, 1.005E-01}, {37.445, 157.944, 2.941}, -4.506E-04, 0.173},
                   ws, "second best, EXACT rows");
    ExpectSolution(parse.solutions[2], {1, {7.211E-01}, {3.107}, {1.140E-02}, {7.308}, 4.635E-04, -0.0}, ws, "third");
    EXPECT_TRUE(std::signbit(parse.solutions[2].punc));  // "PUNC =-0.000"
}

TEST(DiscreteListing, LognormalFixture)
{
    const auto ws = LoadedWorkspace("lognormal.txt", 0, 79);
    const auto parse = ParseDiscreteListing(Listing("lognormal.discrete.out"), ws);
    EXPECT_EQ(parse.status, Status::Ok);
    EXPECT_TRUE(parse.uncertain);
    ASSERT_EQ(parse.solutions.size(), 4u);
    ExpectSolution(parse.solutions[0],
                   {4, {1.127E-03, 2.799E-01, 6.169E-01, 1.026E-01}, {25.187, 34.580, 16.467, 164.008},
                    {4.503E-04, 1.016E-02, 2.310E-02, 5.477E-02}, {110.259, 9.678, 21.406, 68.394}, -5.287E-04, 0.285},
                   ws, "1");
    ExpectSolution(parse.solutions[1],
                   {3, {1.321E-03, 3.933E-01, 6.031E-01}, {27.346, 8.240, 5.305}, {6.989E-04, 1.125E-02, 2.875E-02},
                    {66.647, 3.404, 3.590}, -4.173E-04, 0.332},
                   ws, "2");
    ExpectSolution(parse.solutions[2],
                   {2, {3.409E-01, 6.555E-01}, {8.431, 4.286}, {1.051E-02, 2.738E-02}, {3.242, 3.178}, -1.524E-05, 0.446},
                   ws, "3");
    ExpectSolution(parse.solutions[3], {1, {9.711E-01}, {0.691}, {1.791E-02}, {1.496}, 1.815E-04, -0.0}, ws, "4");
}

TEST(DiscreteListing, SubRangeFitsTheSelectedPoints)
{
    const auto ws = LoadedWorkspace("bimodal.txt", 10, 14);
    const auto parse = ParseDiscreteListing(Listing("bimodal.discrete.out"), ws);
    ASSERT_EQ(parse.solutions.size(), 3u);
    for (const auto& r : parse.solutions) {
        ASSERT_EQ(r.fitX.size(), 5u);
        EXPECT_EQ(r.fitX.front(), ws.DataX[10]);
        EXPECT_EQ(r.fitX.back(), ws.DataX[14]);
        EXPECT_EQ(r.residual.back(), ws.DataY[14] - r.fitY.back());
    }
}

TEST(DiscreteListing, SignBeforeTheWindow)
{
    const auto ws = Points({0.0, 1.0}, {1.0, 0.5});
    const std::string text = kHead + kSecondTitle +
                             Solution("2",
                                      {{"-1.500E-01", "12.500", "-2.000E-03", "3.000"},
                                       {" 2.500E-01", "1.000", " 4.000E+00", "2.000"}},
                                      "--3.00E-04", "-0.125") +
                             Solution("1", {{"--5.00E-01", "1.000", " 1.000E+00", "1.000"}}, " 7.000E-04", " 0.500");
    const auto parse = ParseDiscreteListing(text, ws);
    ASSERT_EQ(parse.status, Status::Ok);
    ASSERT_EQ(parse.solutions.size(), 2u);
    const auto& a = parse.solutions[0];
    EXPECT_EQ(a.amplitude, (std::vector<double>{-0.15, 0.25}));
    EXPECT_EQ(a.rate, (std::vector<double>{-2.0E-3, 4.0}));
    EXPECT_EQ(a.amplitudeErr, (std::vector<double>{12.5, 1.0}));
    // A window holding its own sign is not negated a second time.
    EXPECT_EQ(a.baseline, -3.0E-4);
    EXPECT_EQ(a.punc, -0.125);
    EXPECT_EQ(parse.solutions[1].amplitude, (std::vector<double>{-0.5}));
    EXPECT_EQ(parse.solutions[1].baseline, 7.0E-4);
}

TEST(DiscreteListing, RowLengthsAndCounts)
{
    const auto ws = Points({0.0, 1.0, 2.0}, {1.0, 0.5, 0.25});
    // EXACT on the second row only: the first row is 91 characters long.
    const std::string exactLater =
        kHead + kSecondTitle +
        Solution("2", {{" 1.000E-01", "1.000", " 1.000E+00", "1.000"}, {" 2.000E-01", "2.000", " 2.000E+00", "2.000", true}},
                 " 3.000E-04", " 0.100");
    // A two-digit count yields its last digit.
    const std::string twoDigits =
        kHead + kSecondTitle +
        Solution("12", {{" 1.000E-01", "1.000", " 1.000E+00", "1.000", true}, {" 2.000E-01", "2.000", " 2.000E+00", "2.000"}},
                 " 3.000E-04", " 0.100");
    for (const auto* text : {&exactLater, &twoDigits}) {
        const auto parse = ParseDiscreteListing(*text, ws);
        ASSERT_EQ(parse.status, Status::Ok);
        ASSERT_EQ(parse.solutions.size(), 1u);
        const auto& r = parse.solutions[0];
        EXPECT_EQ(r.componentCount, 2);
        EXPECT_EQ(r.amplitude, (std::vector<double>{0.1, 0.2}));
        EXPECT_EQ(r.rate, (std::vector<double>{1.0, 2.0}));
        EXPECT_EQ(r.rateErr, (std::vector<double>{1.0, 2.0}));
        EXPECT_EQ(r.baseline, 3.0E-4);
    }
}

TEST(DiscreteListing, NoComponentsAndZeroRate)
{
    const auto ws = Points({0.0, 1.0, 10.0}, {1.0, 0.5, 0.25});
    const std::string text = kHead + kSecondTitle + Solution("0", {}, " 5.000E-02", " 0.200") +
                             Solution("1", {{" 2.500E-01", "1.000", " 0.000E+00", "0.000"}}, " 1.000E-01", " 0.300");
    const auto parse = ParseDiscreteListing(text, ws);
    ASSERT_EQ(parse.status, Status::Ok);
    ASSERT_EQ(parse.solutions.size(), 2u);
    const auto& none = parse.solutions[0];
    EXPECT_EQ(none.componentCount, 0);
    EXPECT_TRUE(none.amplitude.empty());
    EXPECT_EQ(none.baseline, 0.05);
    EXPECT_EQ(none.punc, 0.2);
    EXPECT_EQ(none.fitY, (std::vector<double>{0.05, 0.05, 0.05}));
    const auto& flat = parse.solutions[1];
    EXPECT_EQ(flat.fitY, (std::vector<double>{0.25 + 0.1, 0.25 + 0.1, 0.25 + 0.1}));
    EXPECT_EQ(flat.residual[2], 0.25 - (0.25 + 0.1));
}

TEST(DiscreteListing, UncertaintySentenceCountsOnlyAfterTheSecondTitle)
{
    const auto ws = Points({0.0, 1.0}, {1.0, 0.5});
    const std::string sentence = " NOTE - THE APPROX. PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY 0.8\r\n";
    const std::string body = Solution("1", {{" 1.000E-01", "1.000", " 1.000E+00", "1.000"}}, " 0.000E+00", " 0.100");
    EXPECT_FALSE(ParseDiscreteListing(kHead + sentence + kSecondTitle + body, ws).uncertain);
    EXPECT_TRUE(ParseDiscreteListing(kHead + kSecondTitle + sentence + body, ws).uncertain);
    // Without a second title the first solution is never found either.
    const auto lone = ParseDiscreteListing(kHead + sentence + body, ws);
    EXPECT_FALSE(lone.uncertain);
    EXPECT_EQ(lone.status, Status::Truncated);
    EXPECT_TRUE(lone.solutions.empty());
}

TEST(DiscreteListing, SolutionCountAndMissingMarkers)
{
    const auto ws = Points({0.0, 1.0}, {1.0, 0.5});
    const std::string one = Solution("1", {{" 1.000E-01", "1.000", " 1.000E+00", "1.000"}}, " 0.000E+00", " 0.100");
    EXPECT_EQ(ParseDiscreteListing("no table here", ws).status, Status::NoTable);
    // An occurrence of the solution marker at position 0 does not count.
    const auto atZero = ParseDiscreteListing("WEIGHTED AVERAGE ALPHA +- STD ERR\r\n", ws);
    EXPECT_EQ(atZero.status, Status::Ok);
    EXPECT_TRUE(atZero.solutions.empty());
    // Three counted solutions, two printed: the two are kept.
    const std::string extra = "\r\n WEIGHTED AVERAGE\r\n";
    const auto lacking = ParseDiscreteListing(kHead + kSecondTitle + one + one + extra, ws);
    EXPECT_EQ(lacking.status, Status::Truncated);
    EXPECT_EQ(lacking.solutions.size(), 2u);
    // A solution whose PUNC line is missing is dropped whole.
    std::string noPunc = kHead + kSecondTitle + one + one;
    noPunc.replace(noPunc.rfind("PUNC"), 4, "punc");
    const auto cut = ParseDiscreteListing(noPunc, ws);
    EXPECT_EQ(cut.status, Status::Truncated);
    ASSERT_EQ(cut.solutions.size(), 1u);
    EXPECT_EQ(cut.solutions[0].fitY.size(), 2u);
}

TEST(DiscreteListing, RangeOutsideTheLoadedPoints)
{
    const std::string text = Listing("bimodal.discrete.out");
    auto ws = LoadedWorkspace("bimodal.txt", 0, 99);
    ws.FirstPoint = 50;  // 100 points from 50 are not loaded
    const auto beyond = ParseDiscreteListing(text, ws);
    EXPECT_EQ(beyond.status, Status::Truncated);
    EXPECT_TRUE(beyond.solutions.empty());
    ws.Reset();  // no data, RangeCount 0: the components are read, no points
    const auto empty = ParseDiscreteListing(text, ws);
    EXPECT_EQ(empty.status, Status::Ok);
    ASSERT_EQ(empty.solutions.size(), 3u);
    EXPECT_TRUE(empty.solutions[0].fitY.empty());
    EXPECT_EQ(empty.solutions[0].baseline, -4.214E-04);
}

TEST(DiscreteListing, CutOffListingsKeepWholeSolutionsOnly)
{
    struct Case { const char *listing, *data; int last; };
    const Case cases[] = {{"bimodal.discrete.out", "bimodal.txt", 99}, {"lognormal.discrete.out", "lognormal.txt", 79}};
    for (const auto& c : cases) {
        const std::string text = Listing(c.listing);
        const auto ws = LoadedWorkspace(c.data, 0, c.last);
        const auto full = ParseDiscreteListing(text, ws);
        ASSERT_EQ(full.status, Status::Ok);
        const std::size_t tables = text.find("1DISCRETE", 10);
        ASSERT_NE(tables, std::string::npos);
        // Every length through the solution tables, a sample before them.
        for (std::size_t len = 0; len < text.size(); len += len < tables ? 61 : 1) {
            const std::string_view part(text.data(), len);
            const auto parse = ParseDiscreteListing(part, ws);
            if (parse.status == Status::NoTable) {
                EXPECT_EQ(part.find("ALPHA +- STD ERR"), std::string_view::npos);
                continue;
            }
            std::size_t counted = 0;
            for (auto p = part.find("WEIGHTED AVERAGE", 1); p != std::string_view::npos;
                 p = part.find("WEIGHTED AVERAGE", p + 1))
                ++counted;
            ASSERT_LE(parse.solutions.size(), counted) << len;
            if (parse.status == Status::Ok) {
                EXPECT_EQ(parse.solutions.size(), counted) << len;
            }
            for (std::size_t s = 0; s < parse.solutions.size(); ++s) {
                const auto& r = parse.solutions[s];
                const auto& f = full.solutions[s];
                EXPECT_EQ(r.amplitude, f.amplitude) << len;
                EXPECT_EQ(r.rateErr, f.rateErr) << len;
                EXPECT_EQ(r.baseline, f.baseline) << len;
                EXPECT_EQ(r.punc, f.punc) << len;
                EXPECT_EQ(r.fitY, f.fitY) << len;
            }
        }
    }
}

TEST(DiscreteListing, ApplyReplacesTheSolutions)
{
    Workspace ws;
    ws.LastAnalysis = kContin;
    ws.SolutionCount = 7;
    ws.DiscreteSolutions.resize(5);
    DiscreteParse parse;
    parse.status = DiscreteParse::Status::Truncated;
    parse.solutions.resize(2);
    parse.solutions[1].punc = 0.5;
    ApplyDiscreteParse(ws, parse);
    EXPECT_EQ(ws.LastAnalysis, kDiscrete);
    EXPECT_EQ(ws.SolutionCount, 2);
    ASSERT_EQ(ws.DiscreteSolutions.size(), 2u);
    EXPECT_EQ(ws.DiscreteSolutions[1].punc, 0.5);

    DiscreteParse none;
    none.status = DiscreteParse::Status::NoTable;
    ws.LastAnalysis = kContin;
    ApplyDiscreteParse(ws, none);
    EXPECT_EQ(ws.LastAnalysis, kContin);
    EXPECT_EQ(ws.SolutionCount, 2);
    EXPECT_EQ(ws.DiscreteSolutions.size(), 2u);
}
