// The lines of the results logs and the export tables, byte for byte; the
// results series of an analysis: clicks applied in order, each line under a
// header that labels it. The log on disk: a log holding lines the memo lacks
// is kept before it is replaced (never over another kept copy); appends keep
// the old bytes.
#include "../TestData.h"
#include "base/MemoText.h"
#include "io/FileIO.h"
#include "results/Export.h"
#include "results/LogFile.h"
#include "results/ResultsLog.h"
#include "results/ResultsSeries.h"
#include "results/Table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <regex>
#include <string>
#include <vector>

using namespace fluvena;
namespace fs = std::filesystem;

namespace {

ContinSolution ContinWithPeaks(int count)
{
    ContinSolution s;
    for (int k = 0; k < count; ++k)
        s.peaks.push_back(k == 0 ? ContinPeak{0.000123456, 0, 12.5, 0, 0.3} : ContinPeak{k + 1.0, 0, 100.0 * (k + 1), 0, 0});
    return s;
}

DiscreteSolution DiscreteWith(std::vector<std::pair<double, double>> amplitudeAndRate, double baseline)
{
    DiscreteSolution r;
    for (const auto& [a, rate] : amplitudeAndRate) r.components.push_back({a, 0.0, rate, 0.0});
    r.baseline = baseline;
    return r;
}

LogInput Input(std::string value, bool inverse = false, bool rates = false, char sep = '.')
{
    return LogInput{"Temp", std::move(value), inverse, rates, sep};
}

const std::string kContinHeader =
    "Temp\tIntensywn1\tPolozenie1\tSzerokosc1\tIntensywn2\tPolozenie2\tSzerokosc2\tIntensywn3\tPolozenie3\t"
    "Szerokosc3\tIntensywn4\tPolozenie4\tSzerokosc4\tIntensywn5\tPolozenie5\tSzerokosc5\t";
const std::string kBlank3 = " \t \t \t";
const std::string kPeak1 = "1.2346E-04\t1.2500E+01\t3.0000E-01\t";
using Lines = std::vector<std::string>;

std::string PeakK(int k) { return std::to_string(k) + ".0000E+00\t" + std::to_string(k) + ".0000E+02\t0.0000E+00\t"; }

}  // namespace

TEST(ContinLog, LinesOfAClick)
{
    struct Case { const char* name; int peaks; bool memoEmpty; LogInput in; std::optional<std::string> header, line; };
    const Case cases[] = {
        {"two peaks, empty memo", 2, true, Input("25"), kContinHeader,
         "25.00\t" + kPeak1 + PeakK(2) + kBlank3 + kBlank3 + kBlank3},
        {"memo not empty: no header", 2, false, Input("25"), std::nullopt,
         "25.00\t" + kPeak1 + PeakK(2) + kBlank3 + kBlank3 + kBlank3},
        {"1000/T with a comma", 1, true, Input("298,15", true, false, ','), "1/" + kContinHeader,
         "3,35\t1,2346E-04\t1,2500E+01\t3,0000E-01\t" + kBlank3 + kBlank3 + kBlank3 + kBlank3},
        {"seven peaks: five recorded", 7, false, Input("-1"), std::nullopt,
         "-1.00\t" + kPeak1 + PeakK(2) + PeakK(3) + PeakK(4) + PeakK(5)},
        {"no peaks: five blank groups", 0, false, Input(" 7.125 "), std::nullopt,
         "7.13\t" + kBlank3 + kBlank3 + kBlank3 + kBlank3 + kBlank3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ContinSolution s = ContinWithPeaks(c.peaks);
        const LogClick click = ContinLogClick(&s, c.memoEmpty, c.in);
        EXPECT_EQ(std::pair(click.header, click.line), std::pair(c.header, c.line));
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
        while (groups-- > 0) s += " \t \t";
        return s;
    };
    const DiscreteSolution two = DiscreteWith({{0.5, 4.0}, {2.0, 0.001}}, 0.000123456);
    struct Case {
        const char* name; std::size_t groups; DiscreteSolution rec;
        bool memoEmpty; LogInput in; std::optional<std::string> header, line;
    };
    const Case cases[] = {
        {"N 6, two components, times", 6, two, true, Input("25"), header(6, false),
         "25.00\t1.235E-04\t5.0000E-01\t2.5000E-01\t2.0000E+00\t1.0000E+03\t" + blanks(4)},
        {"rates as stored", 6, two, true, Input("25", false, true), header(6, true),
         "25.00\t1.235E-04\t5.0000E-01\t4.0000E+00\t2.0000E+00\t1.0000E-03\t" + blanks(4)},
        {"1000/T, comma", 2, two, true, Input("298,15", true, false, ','), header(2, false, "1/Temp"),
         "3,35\t1,235E-04\t5,0000E-01\t2,5000E-01\t2,0000E+00\t1,0000E+03\t"},
        {"N 0: parameter and baseline only", 0, two, true, Input("25"), "Temp\t" + sk, "25.00\t1.235E-04\t"},
        {"more components than N", 1, two, false, Input("25"), std::nullopt, "25.00\t1.235E-04\t5.0000E-01\t2.5000E-01\t"},
        {"no components", 3, DiscreteWith({}, -2.0), false, Input("1"), std::nullopt, "1.00\t-2.000E+00\t" + blanks(3)},
        {"a zero rate recorded as a rate", 2, DiscreteWith({{1.0, 0.0}}, 0.0), false, Input("1", false, true),
         std::nullopt, "1.00\t0.000E+00\t1.0000E+00\t0.0000E+00\t" + blanks(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LogClick click = DiscreteLogClick(&c.rec, c.groups, c.memoEmpty, c.in);
        EXPECT_EQ(std::pair(click.header, click.line), std::pair(c.header, c.line));
    }
}

// A failing click keeps its header and adds no line; without a result the
// click has nothing to record. A series keeps the header such a click adds
// to it, and only that.
TEST(ResultsLog, FailuresKeepTheHeaderAndAddNoLine)
{
    const ContinSolution peaks = ContinWithPeaks(2);
    const DiscreteSolution fine = DiscreteWith({{1.0, 1.0}}, 0.0);
    const DiscreteSolution zeroRate = DiscreteWith({{1.0, 2.0}, {1.0, 0.0}}, 0.0);
    struct Case {
        const char* name; const ContinSolution* contin; const DiscreteSolution* discrete;
        LogInput in; std::optional<std::string> error;
    };
    const Case cases[] = {
        {"no result", nullptr, nullptr, Input("25"), std::nullopt},
        {"bad value", &peaks, &fine, Input("25x"), "'25x' is not a valid floating point value"},
        {"a point where a comma is the separator", &peaks, &fine, Input("2.5", false, false, ','),
         "'2.5' is not a valid floating point value"},
        {"empty value", &peaks, &fine, Input(""), "'' is not a valid floating point value"},
        {"1000/0", &peaks, &fine, Input("0,0", true, false, ','), "Floating point division by zero"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const LogClick& click : {ContinLogClick(c.contin, true, c.in), DiscreteLogClick(c.discrete, 2, true, c.in)}) {
            ASSERT_TRUE(click.header);
            EXPECT_EQ(click.header->rfind(c.in.inverse ? "1/Temp\t" : "Temp\t", 0), 0u);
            EXPECT_EQ(std::tuple(click.line, click.noResult, click.error),
                      std::tuple(std::optional<std::string>(), c.contin == nullptr, c.error));
        }
        ResultsSeries s;
        const auto step = s.RecordContin(c.contin, c.in);
        EXPECT_EQ(std::pair(step.error, step.noResult), std::pair(c.error, c.contin == nullptr));
        EXPECT_EQ(s.Lines(), Lines{*ContinLogClick(c.contin, true, c.in).header});
        EXPECT_EQ(step.added, s.Lines());
        EXPECT_TRUE(s.RecordContin(nullptr, c.in).added.empty());
        EXPECT_EQ(s.Lines().size(), 1u);
    }
    // A zero rate recorded as a time ends the click before the value is read.
    for (const char* value : {"25", "abc"})
        EXPECT_EQ(DiscreteLogClick(&zeroRate, 2, true, Input(value)).error, "Floating point division by zero");
}

TEST(CumulantLog, LinesOfAClick)
{
    SampleParameters water{.wavelengthNm = 632.8, .temperatureK = 298.15, .viscosityCp = 0.89};
    CumulantResult r;
    r.fit.gammaMean = 1716.8, r.fit.pdi = 0.125, r.fit.beta = 0.25;
    const LogClick click = CumulantLogClick(&r, water, true, Input("25"));
    EXPECT_EQ(click.header, "Temp\tZ-\x9Crednia\tPDI\tGamma\tBeta\t");
    // A 50 nm-radius sphere in water at 25 C decays at 1716.8 1/s at 90 degrees.
    EXPECT_EQ(click.line, "25.00\t1.0000E+02\t1.2500E-01\t1.7168E+03\t2.5000E-01\t");
    EXPECT_TRUE(CumulantLogClick(nullptr, water, false, Input("25")).noResult);
    water.viscosityCp = 0;  // no size without a viscosity
    EXPECT_TRUE(CumulantLogClick(&r, water, false, Input("25")).error);
}

// A second click whose header labels the columns otherwise starts a block
// under its own header; more or fewer component groups do not.
TEST(ResultsSeries, ANewHeaderBlockWhereTheOldHeaderWouldMislabel)
{
    DiscreteSolution discrete;
    discrete.components.assign(3, {0.5, 1.0, 100.0, 2.0});
    discrete.baseline = 0.001;
    const std::string kat = "K\xB9t";  // "Kąt" in Windows-1250
    struct Case { const char* name; LogInput first, second; std::size_t groups1, groups2; bool newBlock; };
    const Case cases[] = {
        {"same parameter", Input("20"), Input("25"), 3, 3, false},
        {"renamed Temp -> Kąt", Input("20"), LogInput{kat, "25", false, false, '.'}, 3, 3, true},
        {"1000/T switched on", Input("20"), Input("25", true), 3, 3, true},
        {"rates instead of decay times", Input("20"), Input("25", false, true), 3, 3, true},
        {"more component groups", Input("20"), Input("25"), 2, 4, false},
        {"fewer component groups", Input("20"), Input("25"), 4, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsSeries s;
        const auto first = s.RecordDiscrete(&discrete, c.groups1, c.first);
        ASSERT_EQ(first.added.size(), 2u);
        const auto second = s.RecordDiscrete(&discrete, c.groups2, c.second);
        const LogClick expected = DiscreteLogClick(&discrete, c.groups2, true, c.second);
        Lines lines = first.added;
        if (c.newBlock) lines.push_back(*expected.header);
        lines.push_back(*expected.line);
        EXPECT_EQ(s.Lines(), lines);
        EXPECT_EQ(second.added.size(), c.newBlock ? 2u : 1u);
        EXPECT_EQ(*s.Header(), c.newBlock ? *expected.header : first.added[0]);
    }
}

// A log read back continues its series: its last header decides, in either
// decimal separator; a log of another analysis, or none, gets a header of its own.
TEST(ResultsSeries, ALogReadBackContinuesItsSeries)
{
    const ContinSolution contin = ContinWithPeaks(2);
    CumulantResult cumulants;
    cumulants.fit.gammaMean = 2000.0, cumulants.fit.pdi = 0.12, cumulants.fit.beta = 0.3;
    const LogClick continClick = ContinLogClick(&contin, true, Input("20,5", false, false, ','));
    const Lines continLog = {*continClick.header, *continClick.line};

    struct Case { const char* name; Lines log; bool cumulant; bool header; };
    const Case cases[] = {
        {"no log: the first click's header", {}, false, true},
        {"CONTIN log, CONTIN click", continLog, false, false},
        {"CONTIN log, cumulant click", continLog, true, true},
        {"a note of the user's only", {"my own line"}, false, false},
        {"lines under no header", {*continClick.line}, false, false},
        {"two blocks, the last one CONTIN's", {*CumulantLogClick(&cumulants, {}, true, Input("1")).header,
                                               "1.00\t2.0E+00\t \t", *continClick.header}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsSeries s(c.log);
        const LogInput in = Input("21", false, false, ',');
        const auto step = c.cumulant ? s.RecordCumulants(&cumulants, {}, in) : s.RecordContin(&contin, in);
        const LogClick expected = c.cumulant ? CumulantLogClick(&cumulants, {}, true, in) : ContinLogClick(&contin, true, in);
        Lines all = c.log;
        if (c.header) all.push_back(*expected.header);
        all.push_back(*expected.line);
        EXPECT_EQ(s.Lines(), all);
        EXPECT_EQ(step.added, Lines(all.begin() + std::ptrdiff_t(c.log.size()), all.end()));
    }
}

TEST(LogFile, ALogWithLinesTheMemoLacksIsKeptBeforeItIsReplaced)
{
    struct Case { const char* old; std::vector<std::string> memo; bool kept; };
    const Case cases[] = {
        {nullptr, {"H", "20"}, false},                  // no log yet
        {"H\r\n20\r\n", {"H", "20", "25"}, false},      // the memo goes on from the log
        {"H\r\n20", {"H", "20", "25"}, false},          // no line break after the last line
        {"H\r\n20\r\n25\r\n", {"H", "30"}, true},       // an earlier start's series
        {"H\r\n20\r\n25\r\n", {"H", "25", "30"}, true}, // a line deleted from the memo
        {"H\r\n20\r\n20\r\n", {"H", "20", "30"}, true}, // a line the log holds twice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.old ? c.old : "(none)");
        fluvena::testing::TempDir dir;
        const fs::path log = dir.path / "tempCont.txt";
        if (c.old) std::ofstream(log, std::ios::binary) << c.old;
        const auto kept = ReplaceLog(log, c.memo, 1700000000);
        EXPECT_EQ(ReadFile(log), FileText(c.memo));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), c.kept ? 2 : 1);
        ASSERT_EQ(kept.has_value(), c.kept);
        if (!kept) continue;
        EXPECT_TRUE(std::regex_match(kept->filename().string(), std::regex(R"(tempCont-\d{8}-\d{6}\.txt)"))) << *kept;
        EXPECT_EQ(ReadFile(*kept), c.old);
        // Kept again in the same second: a new name, the first copy stays.
        const auto again = ReplaceLog(log, {"other"}, 1700000000);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->filename().string(), kept->stem().string() + "-2.txt");
        EXPECT_EQ(ReadFile(*kept), c.old);
    }
}

TEST(LogFile, AppendsKeepTheBytesThere)
{
    fluvena::testing::TempDir dir;
    const fs::path log = dir.path / "series.txt";
    for (const auto& [old, expected] : {std::pair{"", "x\r\n"}, std::pair{"own\n", "own\nx\r\n"},
                                        std::pair{"no break", "no break\r\nx\r\n"}}) {
        std::ofstream(log, std::ios::binary) << old;
        AppendToLog(log, ReadLog(log), {"x"});
        EXPECT_EQ(ReadFile(log), expected);
    }
}

TEST(FitExport, FittedValuesOnlyForThePointsTheyBelongTo)
{
    const std::vector<double> x{4.0, 1.2346, 6.0, 7.0}, y{0.4, 0.5, 0.6, 0.7};
    // A CONTIN fit holds the abscissae as printed: three significant digits.
    const std::vector<double> continX{4.0, 1.23, 6.0}, continY{0.5, 0.25, 0.125};
    const std::vector<double> discreteX{4.0, 1.2346, 6.0}, discreteY{-1.0, -2.0, -3.0};
    const FitCurve contin{continX, continY, true}, discrete{discreteX, discreteY, false};
    struct Case {
        const char* name; std::span<const double> x, y; const FitCurve* fit;
        char sep; std::vector<std::string> expect;
    };
    const std::span<const double> three(x.data(), 3), three1(y.data(), 3);
    const Case cases[] = {
        {"no fit", three, three1, nullptr, '.',
         {"X\tYexp\tYfit", "4.000E+00\t4.000E-01\t0.000E+00", "1.235E+00\t5.000E-01\t0.000E+00",
          "6.000E+00\t6.000E-01\t0.000E+00"}},
        {"CONTIN, comma", three, three1, &contin, ',',
         {"X\tYexp\tYfit", "4,000E+00\t4,000E-01\t5,000E-01", "1,235E+00\t5,000E-01\t2,500E-01",
          "6,000E+00\t6,000E-01\t1,250E-01"}},
        {"range moved by one after CONTIN", std::span(x).subspan(1), std::span(y).subspan(1), &contin, '.',
         {"X\tYexp\tYfit", "1.235E+00\t5.000E-01\t0.000E+00", "6.000E+00\t6.000E-01\t0.000E+00",
          "7.000E+00\t7.000E-01\t0.000E+00"}},
        {"range widened after DISCRETE", x, y, &discrete, '.',
         {"X\tYexp\tYfit", "4.000E+00\t4.000E-01\t-1.000E+00", "1.235E+00\t5.000E-01\t-2.000E+00",
          "6.000E+00\t6.000E-01\t-3.000E+00", "7.000E+00\t7.000E-01\t0.000E+00"}},
        {"no points: header only", {}, {}, &discrete, '.', {"X\tYexp\tYfit"}},
    };
    for (const auto& c : cases) EXPECT_EQ(FitExportTable(c.x, c.y, c.fit, c.sep), c.expect) << c.name;
}

TEST(DistributionExport, DrawnDistributionOrIndexRows)
{
    ContinSolution s;
    s.distX = {10.0, 20.0};
    s.distY = {0.001, 0.002};
    EXPECT_EQ(DistributionExportTable(nullptr, 0, '.'), std::vector<std::string>{"X\tYfit"});
    EXPECT_EQ(DistributionExportTable(nullptr, 2, ','),
              (std::vector<std::string>{"X\tYfit", "0,000E+00\t0,000E+00", "1,000E+00\t0,000E+00"}));
    EXPECT_EQ(DistributionExportTable(&s, 3, '.'), (std::vector<std::string>{"X\tYfit", "1.000E+01\t1.000E-03",
                                                                              "2.000E+01\t2.000E-03", "2.000E+00\t0.000E+00"}));
    // Another axis or weighting: named in the header, with the error column.
    const DistributionCurve c{{10.0, 20.0}, {0.01, 0.04}, {0.001, 0.002}};
    EXPECT_EQ(DistributionExportTable(c, DistributionAxis::Radius, DistributionWeighting::PerLnTau, ','),
              (std::vector<std::string>{"Rh_nm\ttau*G(tau)\terr", "1,000E+01\t1,000E-02\t1,000E-03",
                                        "2,000E+01\t4,000E-02\t2,000E-03"}));
    EXPECT_EQ(DistributionExportTable(c, DistributionAxis::DecayTime, DistributionWeighting::AsComputed, '.')[0],
              "tau\tG(tau)\terr");
}

TEST(Table, CsvAndTsvOfTheSameRows)
{
    results::Table t;
    t.columns = {"file", "detector", "angle", "zAverageRadius"};
    t.AddRow() = {std::string("LC8.2_0001.ASC"), 3LL, 90.0, 1.0e-13};
    t.AddRow() = {std::string("a, \"b\".txt"), std::monostate{}, 0.1, std::numeric_limits<double>::quiet_NaN()};
    t.rows.push_back({std::string("tab\there\nand line")});  // short: padded
    EXPECT_EQ(std::pair(t.Column("angle"), t.Column("q")), std::pair(2, -1));  // -1: no such column
    EXPECT_EQ(FormatTable(t, results::TableFormat::Csv),
              "file,detector,angle,zAverageRadius\n"
              "LC8.2_0001.ASC,3,90,1e-13\n"
              "\"a, \"\"b\"\".txt\",,0.1,\n"
              "\"tab\there\nand line\",,,\n");
    EXPECT_EQ(FormatTable(t, results::TableFormat::Tsv),
              "file\tdetector\tangle\tzAverageRadius\n"
              "LC8.2_0001.ASC\t3\t90\t1e-13\n"
              "a, \"b\".txt\t\t0.1\t\n"
              "tab here and line\t\t\t\n");
}

TEST(Table, NumbersReadBackExactly)
{
    results::Table t;
    t.columns = {"x"};
    const double values[] = {1.0 / 3.0, 6.02214076e23, -2.5e-308, 3.1468e-13};
    for (double v : values) t.AddRow() = {v};
    const Lines csv = SplitLines(FormatTable(t, results::TableFormat::Csv));
    ASSERT_EQ(csv.size(), 5u);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(std::stod(csv[k + 1]), values[k]) << csv[k + 1];
}
