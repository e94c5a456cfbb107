#include "results/ResultsLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fluvena;

namespace {

ContinSolution ContinWithPeaks(int count)
{
    ContinSolution s;
    s.peakCount = count;
    for (int k = 0; k < count; ++k) {
        s.peakIntensity.push_back(k == 0 ? 0.000123456 : k + 1.0);
        s.peakPosition.push_back(k == 0 ? 12.5 : 100.0 * (k + 1));
        s.peakWidth.push_back(k == 0 ? 0.3 : 0.0);
    }
    return s;
}

// A workspace with a CONTIN result of two solutions on show.
Workspace ContinShown(int peaksOfShown, int current = 1)
{
    Workspace ws;
    ws.LastAnalysis = kContin;
    ws.ContinSolutions = {ContinWithPeaks(1), ContinWithPeaks(peaksOfShown)};
    ws.SolutionCount = 2;
    ws.CurrentSolution = current;
    return ws;
}

RozwiazanieDisc DiscreteWith(std::vector<double> amplitude, std::vector<double> rate, double baseline)
{
    RozwiazanieDisc r;
    r.componentCount = static_cast<std::int32_t>(amplitude.size());
    r.amplitude = amplitude;
    r.amplitudeErr.assign(amplitude.size(), 0.0);
    r.rate = rate;
    r.rateErr.assign(rate.size(), 0.0);
    r.baseline = baseline;
    return r;
}

Workspace DiscreteShown(int maxComponents, RozwiazanieDisc rec)
{
    Workspace ws;
    ws.LastAnalysis = kDiscrete;
    ws.MaxComponents = maxComponents;
    ws.DiscreteSolutions = {std::move(rec)};
    ws.SolutionCount = 1;
    ws.CurrentSolution = 0;
    return ws;
}

LogInput Input(std::string value, bool inverse = false, bool rates = false, char sep = '.')
{
    LogInput in;
    in.paramName = "Temp";
    in.value = std::move(value);
    in.inverse = inverse;
    in.rates = rates;
    in.decimalSeparator = sep;
    return in;
}

const std::string kContinHeader =
    "Temp\tIntensywn1\tPolozenie1\tSzerokosc1\tIntensywn2\tPolozenie2\tSzerokosc2\tIntensywn3\tPolozenie3\t"
    "Szerokosc3\tIntensywn4\tPolozenie4\tSzerokosc4\tIntensywn5\tPolozenie5\tSzerokosc5\t";
const std::string kBlank3 = " \t \t \t";
const std::string kPeak1 = "1.2346E-04\t1.2500E+01\t3.0000E-01\t";
const std::string kPeak1Comma = "1,2346E-04\t1,2500E+01\t3,0000E-01\t";
std::string PeakK(int k) { return std::to_string(k) + ".0000E+00\t" + std::to_string(k) + ".0000E+02\t0.0000E+00\t"; }

}  // namespace

TEST(ContinLog, LinesOfAClick)
{
    struct Case {
        const char* name;
        int peaks;
        bool memoEmpty;
        LogInput in;
        std::optional<std::string> header, line;
    };
    const Case cases[] = {
        {"two peaks, empty memo", 2, true, Input("25"), kContinHeader,
         "25.00\t" + kPeak1 + PeakK(2) + kBlank3 + kBlank3 + kBlank3},
        {"memo not empty: no header", 2, false, Input("25"), std::nullopt,
         "25.00\t" + kPeak1 + PeakK(2) + kBlank3 + kBlank3 + kBlank3},
        {"1000/T with a comma", 1, true, Input("298,15", true, false, ','),
         "1/" + kContinHeader, "3,35\t" + kPeak1Comma + kBlank3 + kBlank3 + kBlank3 + kBlank3},
        {"seven peaks: five recorded", 7, false, Input("-1"), std::nullopt,
         "-1.00\t" + kPeak1 + PeakK(2) + PeakK(3) + PeakK(4) + PeakK(5)},
        {"no peaks: five blank groups", 0, false, Input(" 7.125 "), std::nullopt,
         "7.13\t" + kBlank3 + kBlank3 + kBlank3 + kBlank3 + kBlank3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = ContinShown(c.peaks);
        const LogClick click = ContinLogClick(ws, c.memoEmpty, c.in);
        EXPECT_EQ(click.header, c.header);
        EXPECT_EQ(click.line, c.line);
        EXPECT_FALSE(click.error);
        EXPECT_FALSE(click.noResult);
        // The groups of the line are the ones the click left in LogCells.
        ASSERT_EQ(ws.LogCells.size(), 5u);
        std::string groups;
        for (const auto& g : ws.LogCells) groups += g;
        EXPECT_EQ(c.line->substr(c.line->find('\t') + 1), groups);
    }
}

TEST(ContinLog, FailuresKeepTheHeaderAndAddNoLine)
{
    struct Case {
        const char* name;
        Workspace ws;
        LogInput in;
        bool noResult;
        std::optional<std::string> error;
    };
    Workspace discreteOnShow = DiscreteShown(6, DiscreteWith({1.0}, {2.0}, 0.0));
    discreteOnShow.ContinSolutions = {ContinWithPeaks(2)};  // old CONTIN records still held
    Workspace reset = ContinShown(2);
    reset.Reset();
    std::vector<Case> cases;
    cases.push_back({"no analysis yet", Workspace{}, Input("25"), true, std::nullopt});
    cases.push_back({"DISCRETE result on show", discreteOnShow, Input("25"), true, std::nullopt});
    cases.push_back({"after a reset", reset, Input("25"), true, std::nullopt});
    cases.push_back({"position beyond the set", ContinShown(2, 2), Input("25"), true, std::nullopt});
    cases.push_back({"negative position", ContinShown(2, -1), Input("25"), true, std::nullopt});
    cases.push_back({"bad value", ContinShown(2), Input("25x"), false,
                     std::string("'25x' is not a valid floating point value")});
    cases.push_back({"point where a comma is the separator", ContinShown(2), Input("2.5", false, false, ','), false,
                     std::string("'2.5' is not a valid floating point value")});
    cases.push_back({"empty value", ContinShown(2), Input(""), false,
                     std::string("'' is not a valid floating point value")});
    cases.push_back({"1000/0", ContinShown(2), Input("0", true), false,
                     std::string("Floating point division by zero")});
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LogClick click = ContinLogClick(c.ws, true, c.in);
        EXPECT_EQ(click.header, c.in.inverse ? "1/" + kContinHeader : kContinHeader);
        EXPECT_FALSE(click.line);
        EXPECT_EQ(click.noResult, c.noResult);
        EXPECT_EQ(click.error, c.error);
    }
}

TEST(DiscreteLog, LinesOfAClick)
{
    const std::string sk = "Sk\xB3.  sta\xB3" "a\t";
    auto header = [&](int n, bool rates, const std::string& first = "Temp") {
        std::string h = first + "\t" + sk;
        for (int k = 1; k <= n; ++k)
            h += "Intensywn" + std::to_string(k) + "\t" + (rates ? "1/Czas" : "Czas") + std::to_string(k) + "\t";
        return h;
    };
    auto blanks = [](int groups) {
        std::string s;
        for (int k = 0; k < groups; ++k) s += " \t \t";
        return s;
    };
    const RozwiazanieDisc two = DiscreteWith({0.5, 2.0}, {4.0, 0.001}, 0.000123456);
    struct Case {
        const char* name;
        int maxComponents;
        RozwiazanieDisc rec;
        bool memoEmpty;
        LogInput in;
        std::optional<std::string> header, line;
    };
    const Case cases[] = {
        {"N 6, two components, times", 6, two, true, Input("25"), header(6, false),
         "25.00\t1.235E-04\t5.0000E-01\t2.5000E-01\t2.0000E+00\t1.0000E+03\t" + blanks(4)},
        {"rates as stored", 6, two, true, Input("25", false, true), header(6, true),
         "25.00\t1.235E-04\t5.0000E-01\t4.0000E+00\t2.0000E+00\t1.0000E-03\t" + blanks(4)},
        {"1000/T, comma", 2, two, true, Input("298,15", true, false, ','), header(2, false, "1/Temp"),
         "3,35\t1,235E-04\t5,0000E-01\t2,5000E-01\t2,0000E+00\t1,0000E+03\t"},
        {"N 0: parameter and baseline only", 0, two, true, Input("25"), "Temp\t" + sk, "25.00\t1.235E-04\t"},
        {"N 9", 9, two, true, Input("25"), header(9, false),
         "25.00\t1.235E-04\t5.0000E-01\t2.5000E-01\t2.0000E+00\t1.0000E+03\t" + blanks(7)},
        {"more components than N", 1, two, false, Input("25"), std::nullopt,
         "25.00\t1.235E-04\t5.0000E-01\t2.5000E-01\t"},
        {"no components", 3, DiscreteWith({}, {}, -2.0), false, Input("1"), std::nullopt,
         "1.00\t-2.000E+00\t" + blanks(3)},
        {"a zero rate recorded as a rate", 2, DiscreteWith({1.0}, {0.0}, 0.0), false, Input("1", false, true),
         std::nullopt, "1.00\t0.000E+00\t1.0000E+00\t0.0000E+00\t" + blanks(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = DiscreteShown(c.maxComponents, c.rec);
        const LogClick click = DiscreteLogClick(ws, c.memoEmpty, c.in);
        EXPECT_EQ(click.header, c.header);
        EXPECT_EQ(click.line, c.line);
        EXPECT_FALSE(click.error);
        EXPECT_FALSE(click.noResult);
        EXPECT_EQ(ws.LogCells.size(), static_cast<std::size_t>(c.maxComponents));
    }
}

TEST(DiscreteLog, FailuresKeepTheHeaderAndAddNoLine)
{
    struct Case {
        const char* name;
        Workspace ws;
        LogInput in;
        bool noResult;
        std::optional<std::string> error;
    };
    Workspace continOnShow = ContinShown(2);
    continOnShow.MaxComponents = 2;
    continOnShow.DiscreteSolutions = {DiscreteWith({1.0}, {1.0}, 0.0)};  // an older DISCRETE run
    Workspace beyond = DiscreteShown(2, DiscreteWith({1.0}, {1.0}, 0.0));
    beyond.CurrentSolution = 1;
    Workspace reset = DiscreteShown(2, DiscreteWith({1.0}, {1.0}, 0.0));
    reset.Reset();  // keeps the records but SolutionCount 0
    const auto zeroRate = DiscreteWith({1.0, 1.0}, {2.0, 0.0}, 0.0);
    std::vector<Case> cases;
    cases.push_back({"CONTIN result on show", continOnShow, Input("25"), true, std::nullopt});
    cases.push_back({"position beyond the set", beyond, Input("25"), true, std::nullopt});
    cases.push_back({"after a reset", reset, Input("25"), true, std::nullopt});
    cases.push_back({"bad value", DiscreteShown(2, DiscreteWith({1.0}, {1.0}, 0.0)), Input("abc"), false,
                     std::string("'abc' is not a valid floating point value")});
    cases.push_back({"1000/0", DiscreteShown(2, DiscreteWith({1.0}, {1.0}, 0.0)), Input("0,0", true, false, ','),
                     false, std::string("Floating point division by zero")});
    cases.push_back({"zero rate as a time", DiscreteShown(2, zeroRate), Input("25"), false,
                     std::string("Floating point division by zero")});
    // The component cells are made before the value is read.
    cases.push_back({"zero rate wins over a bad value", DiscreteShown(2, zeroRate), Input("abc"), false,
                     std::string("Floating point division by zero")});
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LogClick click = DiscreteLogClick(c.ws, true, c.in);
        ASSERT_TRUE(click.header);
        EXPECT_EQ(click.header->rfind(c.in.inverse ? "1/Temp\tSk\xB3." : "Temp\tSk\xB3.", 0), 0u);
        EXPECT_FALSE(click.line);
        EXPECT_EQ(click.noResult, c.noResult);
        EXPECT_EQ(click.error, c.error);
    }
}
