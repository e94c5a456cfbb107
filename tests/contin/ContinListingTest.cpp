#include "contin/ContinListing.h"

#include "io/FileIO.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace fluvena;
using Status = ContinParse::Status;

namespace {

std::string Listing(const char* name)
{
    return NormalizedText(ReadFile(std::string(FLUVENA_TEST_DATA) + "/" + name));
}

struct Peak { double intensity, intensityErr, position, positionErr, width; };

void ExpectPeaks(const ContinSolution& s, const std::vector<Peak>& peaks, const char* what)
{
    ASSERT_EQ(s.peakCount, static_cast<std::int32_t>(peaks.size())) << what;
    ASSERT_EQ(s.peakIntensity.size(), peaks.size()) << what;
    for (std::size_t k = 0; k < peaks.size(); ++k) {
        EXPECT_DOUBLE_EQ(s.peakIntensity[k], peaks[k].intensity) << what << " peak " << k;
        EXPECT_DOUBLE_EQ(s.peakIntensityErr[k], peaks[k].intensityErr) << what << " peak " << k;
        EXPECT_DOUBLE_EQ(s.peakPosition[k], peaks[k].position) << what << " peak " << k;
        EXPECT_DOUBLE_EQ(s.peakPositionErr[k], peaks[k].positionErr) << what << " peak " << k;
        EXPECT_DOUBLE_EQ(s.peakWidth[k], peaks[k].width) << what << " peak " << k;
    }
}

bool Same(const ContinSolution& a, const ContinSolution& b)
{
    return a.fitX == b.fitX && a.fitY == b.fitY && a.distX == b.distX && a.distY == b.distY &&
           a.distErr == b.distErr && a.peakIntensity == b.peakIntensity &&
           a.peakIntensityErr == b.peakIntensityErr && a.peakWidth == b.peakWidth &&
           a.peakPosition == b.peakPosition && a.peakPositionErr == b.peakPositionErr &&
           a.prob1ToReject == b.prob1ToReject && a.peakCount == b.peakCount;
}

}  // namespace

// Expected values are the numbers printed in the reference listing.
TEST(ContinListing, BimodalReference)
{
    const std::string text = Listing("bimodal.contin.out");
    const ContinParse p = ParseContinListing(text, 100, 100, 0);
    ASSERT_EQ(p.status, Status::Ok);
    ASSERT_EQ(p.solutions.size(), 11u);
    EXPECT_EQ(p.chosen, 7);

    const double prob1[] = {0.000, 0.647, 1.000, 1.000, 1.000, 0.001, 0.054, 0.500, 0.945, 1.000, 1.000};
    const std::int32_t peaks[] = {3, 3, 2, 2, 1, 3, 3, 3, 3, 3, 2};
    for (std::size_t i = 0; i < 11; ++i) {
        const ContinSolution& s = p.solutions[i];
        EXPECT_DOUBLE_EQ(s.prob1ToReject, prob1[i]) << i;
        EXPECT_EQ(s.peakCount, peaks[i]) << i;
        EXPECT_EQ(s.fitX.size(), 100u);
        EXPECT_EQ(s.fitY.size(), 100u);
        EXPECT_EQ(s.distX.size(), 100u);
        EXPECT_EQ(s.distY.size(), 100u);
        EXPECT_EQ(s.distErr.size(), 100u);
    }

    ExpectPeaks(p.solutions[0],
                {{5.4472e-1, 55, 1.6591e-1, 110, 0.20}, {5.9933e-1, 0.099, 10.041, 0.37, 0.046},
                 {4.0002e-1, 0.14, 199.94, 0.29, 0.042}},
                "solution 0");
    ExpectPeaks(p.solutions[7],
                {{7.1761e-2, 53, 0.23010, 110, 0.28}, {6.0019e-1, 0.10, 10.067, 0.40, 0.085},
                 {3.9955e-1, 0.14, 200.19, 0.30, 0.042}},
                "solution 7");

    // Distribution rows: the error column is printed with a D exponent,
    // which the reading stops at ("6.4D-01" reads 6.4).
    const ContinSolution& s0 = p.solutions[0];
    EXPECT_DOUBLE_EQ(s0.distY[0], 0.7642);
    EXPECT_DOUBLE_EQ(s0.distErr[0], 6.4);
    EXPECT_DOUBLE_EQ(s0.distX[0], 0.1);
    const ContinSolution& s7 = p.solutions[7];
    EXPECT_DOUBLE_EQ(s7.distY[0], 2.564e-2);
    EXPECT_DOUBLE_EQ(s7.distErr[0], 1.1);
    EXPECT_DOUBLE_EQ(s7.distY[81], 5.135e-3);
    EXPECT_DOUBLE_EQ(s7.distErr[81], 4.9);
    EXPECT_DOUBLE_EQ(s7.distX[81], 187);
    EXPECT_DOUBLE_EQ(s7.distY[99], 0);
    EXPECT_DOUBLE_EQ(s7.distX[99], 1000);
    // Fit rows.
    EXPECT_DOUBLE_EQ(s0.fitY[0], 0.9423);
    EXPECT_DOUBLE_EQ(s0.fitX[0], 1.0);
    EXPECT_DOUBLE_EQ(s7.fitY[0], 0.9419);
    EXPECT_DOUBLE_EQ(s7.fitY[7], 0.8913);
    EXPECT_DOUBLE_EQ(s7.fitX[7], 1.92);
    EXPECT_DOUBLE_EQ(s7.fitY[99], 0);
    EXPECT_DOUBLE_EQ(s7.fitX[99], 1e4);
}

TEST(ContinListing, LognormalReference)
{
    const std::string text = Listing("lognormal.contin.out");
    const ContinParse p = ParseContinListing(text, 80, 100, 0);
    ASSERT_EQ(p.status, Status::Ok);
    ASSERT_EQ(p.solutions.size(), 12u);
    EXPECT_EQ(p.chosen, 9);

    const double prob1[] = {0.000, 0.000, 0.000, 0.105, 1.000, 1.000, 0.003, 0.026, 0.074, 0.163, 0.920, 1.000};
    const std::int32_t peaks[] = {5, 5, 5, 2, 1, 1, 5, 3, 2, 2, 3, 2};
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_DOUBLE_EQ(p.solutions[i].prob1ToReject, prob1[i]) << i;
        EXPECT_EQ(p.solutions[i].peakCount, peaks[i]) << i;
        EXPECT_EQ(p.solutions[i].fitY.size(), 80u);
    }
    ExpectPeaks(p.solutions[4], {{1.0039, 0.073, 57.041, 0.35, 0.52}}, "solution 4");
    ExpectPeaks(p.solutions[9],
                {{1.7237e-3, 58, 0.53032, 130, 0.47}, {9.9961e-1, 0.025, 56.542, 0.21, 0.53}}, "solution 9");
    const ContinSolution& s9 = p.solutions[9];
    EXPECT_DOUBLE_EQ(s9.distY[0], 7.198e-5);
    EXPECT_DOUBLE_EQ(s9.distErr[0], 3.2);
    EXPECT_DOUBLE_EQ(s9.distY[50], 8.538e-5);
    EXPECT_DOUBLE_EQ(s9.distErr[50], 7.6);
    EXPECT_DOUBLE_EQ(s9.distX[50], 10.5);
    EXPECT_DOUBLE_EQ(s9.distX[99], 1000);
    EXPECT_DOUBLE_EQ(s9.fitY[0], 0.989);
    EXPECT_DOUBLE_EQ(s9.fitX[0], 0.5);
    EXPECT_DOUBLE_EQ(s9.fitY[79], 0);
    EXPECT_DOUBLE_EQ(s9.fitX[79], 5000);
}

TEST(ContinListing, RejectedDeck)
{
    const ContinParse bad = ParseContinListing(Listing("badng.contin.out"), 100, 0, 4);
    EXPECT_EQ(bad.status, Status::Rejected);
    EXPECT_TRUE(bad.solutions.empty());
    EXPECT_EQ(bad.chosen, 4);

    // The error text wins over any fit tables in the listing.
    const ContinParse mixed = ParseContinListing(Listing("bimodal.contin.out") + "0ERROR (CHECK USERS GUIDE.)\r\n", 100, 100, 0);
    EXPECT_EQ(mixed.status, Status::Rejected);
    EXPECT_TRUE(mixed.solutions.empty());
}

// Any prefix of a real listing: the solutions read are exactly the ones of
// the whole listing, never garbage, and nothing is read past the text.
TEST(ContinListing, PrefixesOfTheListing)
{
    const std::string text = Listing("bimodal.contin.out");
    const ContinParse full = ParseContinListing(text, 100, 100, 0);
    ASSERT_EQ(full.solutions.size(), 11u);
    std::size_t lastCount = 0;
    for (std::size_t len = 0; len <= text.size(); len += (len < 2000 ? 97 : 1201)) {
        const std::string cut = text.substr(0, len);  // own buffer: ASan sees reads past it
        const ContinParse p = ParseContinListing(cut, 100, 100, -3);
        ASSERT_NE(p.status, Status::Rejected) << len;
        ASSERT_LE(p.solutions.size(), full.solutions.size()) << len;
        EXPECT_GE(p.solutions.size(), lastCount) << len;
        lastCount = p.solutions.size();
        for (std::size_t i = 0; i < p.solutions.size(); ++i)
            ASSERT_TRUE(Same(p.solutions[i], full.solutions[i])) << "length " << len << " solution " << i;
        EXPECT_TRUE(p.chosen == -3 || p.chosen == full.chosen) << len;
    }
    EXPECT_EQ(lastCount, 11u);
}

// A table longer than the listing: the solution that runs off the end is
// dropped, nothing beyond the text is read.
TEST(ContinListing, TablesRunningOffTheEnd)
{
    const std::string text = Listing("bimodal.contin.out");
    for (auto [range, grid] : {std::pair{100000, 100}, std::pair{100, 100000}, std::pair{INT32_MAX, INT32_MAX}}) {
        const ContinParse p = ParseContinListing(text, range, grid, 2);
        EXPECT_EQ(p.status, Status::Truncated) << range << " " << grid;
        EXPECT_TRUE(p.solutions.empty());
        EXPECT_EQ(p.chosen, 2);
    }
    // Zero or negative counts read no rows.
    const ContinParse none = ParseContinListing(text, -5, 0, 0);
    ASSERT_EQ(none.status, Status::Ok);
    ASSERT_EQ(none.solutions.size(), 11u);
    EXPECT_TRUE(none.solutions[3].fitY.empty());
    EXPECT_TRUE(none.solutions[3].distY.empty());
}

namespace {

// A listing written by hand: markers and fields placed at the distances the
// parser reads them from.
class Synthetic {
public:
    void Put(std::size_t pos, std::string_view s)
    {
        if (text.size() < pos + s.size()) text.resize(pos + s.size(), ' ');
        text.replace(pos, s.size(), s);
    }

    // One solution at the end of the text: one distribution row, `moments`
    // peak tables 732 apart, "FOR ALPHA/S(1)" d after the first (none when
    // d < 0), one fit row.
    void Solution(const char* prob1, std::int64_t d, int moments, const char* mantissa = "1.2345",
                  const char* exponent = "  -3", bool plot = true)
    {
        const std::size_t b = text.size() + 10;
        Put(b, "PROB1 TO REJECT");
        Put(b + 135, prob1);
        Put(b + 199, "1.500E-01  2.0D-02  1.00E-01");
        const std::size_t m = b + 199 + 133 + 50;
        for (int k = 0; k < moments; ++k) {
            const std::size_t at = m + 732 * static_cast<std::size_t>(k);
            Put(at, "MOMENT(J)");
            Put(at + 211, mantissa);
            Put(at + 225, exponent);
            Put(at + 239, "5.0E+01");
            Put(at + 386, "2.5000E+01");
            Put(at + 405, "3.0E-01");
            Put(at + 454, "4.0E-01");
        }
        std::size_t end = m + 732 * static_cast<std::size_t>(moments);
        if (d >= 0) {
            Put(m + static_cast<std::size_t>(d), "FOR ALPHA/S(1)");
            end = std::max(end, m + static_cast<std::size_t>(d) + 20);
        }
        const std::size_t p = end + 50;
        Put(p, plot ? "0PLOT OF DATA (O) AND FIT TO DATA (X).  ORDINATES LISTED ARE FIT VALUES."
                    : "0PLOT OF DAT4 (O) AND FIT TO DATA (X).  ORDINATES LISTED ARE FIT VALUES.");
        Put(p + 103, "9.423E-01  1.00E+00");
        text.resize(p + 103 + 133, ' ');  // the cursor moves one row past it
    }

    // The final printout of the chosen solution.
    void Final(const char* mantissa, const char* exponent)
    {
        const std::size_t b = text.size() + 10;
        Put(b, "1CONTIN VERSION 2DP (MAR 1984)");
        Put(b + 100, "MOMENT(J)");
        Put(b + 311, mantissa);
        Put(b + 325, exponent);
        Put(b + 700, "ORDINATES LISTED ARE FIT VALUES");
    }

    std::string text;
};

}  // namespace

TEST(ContinListing, PeakCountFromDistance)
{
    struct Case { std::int64_t d; int moments; std::int32_t peaks; };
    const Case cases[] = {
        {679, 1, 1},  {2145, 2, 2}, {2876, 3, 2}, {2877, 3, 3}, {2877 + 732, 4, 4}, {1413, 2, 1},
        {682, 1, 1},  {681, 1, 0},  {0, 1, 0},    {-1, 2, 0},  // no closing line: no peaks
    };
    for (const auto& c : cases) {
        Synthetic s;
        s.Solution("0.250", c.d, c.moments);
        s.Final("9.9999", "   0");
        const ContinParse p = ParseContinListing(s.text, 1, 1, 0);
        ASSERT_EQ(p.status, Status::Ok) << c.d;
        ASSERT_EQ(p.solutions.size(), 1u) << c.d;
        const ContinSolution& sol = p.solutions[0];
        EXPECT_EQ(sol.peakCount, c.peaks) << c.d;
        EXPECT_EQ(sol.peakIntensity.size(), static_cast<std::size_t>(c.peaks)) << c.d;
        EXPECT_DOUBLE_EQ(sol.prob1ToReject, 0.25);
        EXPECT_EQ(sol.distY, std::vector<double>{0.15});
        EXPECT_EQ(sol.distErr, std::vector<double>{2.0});
        EXPECT_EQ(sol.distX, std::vector<double>{0.1});
        EXPECT_EQ(sol.fitY, std::vector<double>{0.9423});
        EXPECT_EQ(sol.fitX, std::vector<double>{1.0});
        if (c.peaks > 0) {
            // Mantissa and exponent printed apart: 1.2345 and -3.
            EXPECT_DOUBLE_EQ(sol.peakIntensity[0], 0.0012345);
            EXPECT_DOUBLE_EQ(sol.peakIntensityErr[0], 50);
            EXPECT_DOUBLE_EQ(sol.peakPosition[0], 25);
            EXPECT_DOUBLE_EQ(sol.peakPositionErr[0], 0.3);
            EXPECT_DOUBLE_EQ(sol.peakWidth[0], 0.4);
        }
    }
}

TEST(ContinListing, CountingFitTables)
{
    // Three fit tables give two solutions; one gives none; a table at the
    // very start is not counted.
    Synthetic two;
    two.Solution("0.100", 679, 1);
    two.Solution("0.200", 679, 1);
    two.Final("1.2345", "  -3");
    const ContinParse p2 = ParseContinListing(two.text, 1, 1, 0);
    EXPECT_EQ(p2.status, Status::Ok);
    ASSERT_EQ(p2.solutions.size(), 2u);
    EXPECT_DOUBLE_EQ(p2.solutions[1].prob1ToReject, 0.2);

    Synthetic one;
    one.Solution("0.100", 679, 1);
    EXPECT_TRUE(ParseContinListing(one.text, 1, 1, 0).solutions.empty());

    const std::string marker = "ORDINATES LISTED ARE FIT VALUES";
    EXPECT_TRUE(ParseContinListing(marker + " " + marker, 0, 0, 0).solutions.empty());
    EXPECT_EQ(ParseContinListing("", 0, 0, 0).status, Status::Ok);
}

TEST(ContinListing, ChosenSolution)
{
    struct Case {
        const char *m0, *m1, *m2, *finalMantissa, *finalExponent;
        std::int32_t chosen;
    };
    const Case cases[] = {
        {"1.2345", "2.0000", "3.0000", "2.0000", "  -3", 1},   // the match
        {"2.0000", "2.0000", "3.0000", "2.0000", "  -3", 1},   // the last match wins
        {"1.2345", "2.0000", "3.0000", "2.0000", "  -2", -7},  // same mantissa, other power: none
        {"1.2345", "2.0000", "3.0000", "4.0000", "  -3", -7},  // none: previous choice kept
        {"1.2345", "20.000", "3.0000", "2.0000", "  -2", 1},   // equal values, printed otherwise
    };
    for (const auto& c : cases) {
        Synthetic s;
        s.Solution("0.1", 679, 1, c.m0);
        s.Solution("0.2", 679, 1, c.m1);
        s.Solution("0.3", 679, 1, c.m2);
        s.Final(c.finalMantissa, c.finalExponent);
        const ContinParse p = ParseContinListing(s.text, 1, 1, -7);
        ASSERT_EQ(p.solutions.size(), 3u);
        EXPECT_EQ(p.chosen, c.chosen) << c.m0 << " " << c.m1 << " " << c.finalMantissa << c.finalExponent;
    }

    // A solution without peaks never matches, even an intensity of 0.
    Synthetic zero;
    zero.Solution("0.1", -1, 0);
    zero.Final("0.0000", "   0");
    EXPECT_EQ(ParseContinListing(zero.text, 1, 1, 5).chosen, 5);

    // Without the final printout (no "MAR 1984") nothing is read for it from
    // the start of the text: the previous choice stays.
    Synthetic noFinal;
    noFinal.Solution("0.1", 679, 1, "0.0000", "   0");
    noFinal.Solution("0.2", 679, 1, "0.0000", "   0");
    noFinal.Put(noFinal.text.size() + 5, "ORDINATES LISTED ARE FIT VALUES");
    const ContinParse p = ParseContinListing(noFinal.text, 1, 1, 5);
    EXPECT_EQ(p.solutions.size(), 2u);
    EXPECT_EQ(p.chosen, 5);
}

TEST(ContinListing, BrokenSolutionIsDroppedEarlierOnesKept)
{
    // Solution 2 lacks the fit-table heading "0PLOT OF DATA" and no later
    // one follows.
    Synthetic s;
    s.Solution("0.1", 679, 1, "1.0000");
    s.Solution("0.2", 679, 1, "2.0000");
    s.Solution("0.3", 679, 1, "3.0000", "  -3", false);
    s.Final("2.0000", "  -3");
    const ContinParse p = ParseContinListing(s.text, 1, 1, 0);
    EXPECT_EQ(p.status, Status::Truncated);
    ASSERT_EQ(p.solutions.size(), 2u);
    EXPECT_DOUBLE_EQ(p.solutions[1].prob1ToReject, 0.2);
    EXPECT_EQ(p.chosen, 1);

    // No "MOMENT(J)" in the rest of the listing although "FOR ALPHA/S(1)"
    // is there: a solution that is zero everywhere has no peak table. It is
    // read with no peaks, its table and fit kept, nothing read from the
    // text's start; the chosen index stays as it was.
    Synthetic m;
    m.Solution("0.1", 679, 1);
    m.Solution("0.2", 5000, 0);
    m.Put(m.text.size() + 5, "ORDINATES LISTED ARE FIT VALUES");
    const ContinParse pm = ParseContinListing(m.text, 1, 1, 4);
    EXPECT_EQ(pm.status, Status::Ok);
    ASSERT_EQ(pm.solutions.size(), 2u);
    EXPECT_EQ(pm.solutions[1].peakCount, 0);
    EXPECT_TRUE(pm.solutions[1].peakIntensity.empty());
    EXPECT_EQ(pm.solutions[1].distY, std::vector<double>{0.15});
    EXPECT_EQ(pm.solutions[1].fitY, std::vector<double>{0.9423});
    EXPECT_EQ(pm.chosen, 4);

    // Missing "PROB1 TO REJECT": nothing is read at offsets from -1.
    const std::string marker = "ORDINATES LISTED ARE FIT VALUES";
    const ContinParse pp = ParseContinListing(" " + marker + std::string(300, ' ') + marker, 0, 0, 0);
    EXPECT_EQ(pp.status, Status::Truncated);
    EXPECT_TRUE(pp.solutions.empty());
}

TEST(ContinListing, ApplyToWorkspace)
{
    Workspace ws;
    ws.LastAnalysis = kDiscrete;
    ws.ChosenSolution = 3;
    ws.ContinOnChart = 0;
    ws.ContinSolutions.resize(2);
    ws.SolutionCount = 2;

    ContinParse rejected;
    rejected.status = Status::Rejected;
    rejected.chosen = 9;
    ApplyContinParse(ws, rejected);
    EXPECT_EQ(ws.SolutionCount, 0);
    EXPECT_EQ(ws.LastAnalysis, kDiscrete);
    EXPECT_EQ(ws.ChosenSolution, 3);
    EXPECT_EQ(ws.ContinSolutions.size(), 2u);  // still drawn on the chart
    EXPECT_EQ(ws.ContinOnChart, 0);

    ContinParse ok = ParseContinListing(Listing("bimodal.contin.out"), 100, 100, ws.ChosenSolution);
    ApplyContinParse(ws, std::move(ok));
    EXPECT_EQ(ws.LastAnalysis, kContin);
    EXPECT_EQ(ws.SolutionCount, 11);
    EXPECT_EQ(ws.ContinSolutions.size(), 11u);
    EXPECT_EQ(ws.ChosenSolution, 7);
    EXPECT_EQ(ws.ContinOnChart, -1);

    // A listing without solutions replaces them all.
    ApplyContinParse(ws, ParseContinListing("nothing here", 100, 100, ws.ChosenSolution));
    EXPECT_EQ(ws.SolutionCount, 0);
    EXPECT_TRUE(ws.ContinSolutions.empty());
    EXPECT_EQ(ws.LastAnalysis, kContin);
    EXPECT_EQ(ws.ChosenSolution, 7);
}
