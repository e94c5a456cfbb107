// The results series of an analysis: clicks applied in order, each line under
// a header that labels it, and the ordinary series byte for byte as the
// clicks have always built it.
#include "results/ResultsSeries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fluvena;

namespace {

using Lines = std::vector<std::string>;

ContinSolution TwoPeaks()
{
    ContinSolution s;
    s.peaks = {ContinPeak{0.6, 0, 12.5, 0, 0.3}, ContinPeak{0.4, 0, 250.0, 0, 0.1}};
    return s;
}

DiscreteSolution Components(std::size_t n)
{
    DiscreteSolution s;
    for (std::size_t k = 0; k < n; ++k) s.components.push_back({0.5, 1.0, 100.0 * double(k + 1), 2.0});
    s.baseline = 0.001;
    return s;
}

CumulantResult Cumulants()
{
    CumulantResult r;
    r.fit.gammaMean = 2000.0;
    r.fit.pdi = 0.12;
    r.fit.beta = 0.3;
    return r;
}

LogInput In(std::string param, std::string value, bool inverse = false, bool rates = false, char sep = '.')
{
    return LogInput{std::move(param), std::move(value), inverse, rates, sep};
}

}  // namespace

// The ordinary series (one parameter, one analysis) keeps its bytes: the
// header of the first click on the empty memo, then each click's line.
TEST(ResultsSeries, OrdinarySeriesAreTheClicksOfOneMemo)
{
    const ContinSolution contin = TwoPeaks();
    ResultsSeries series;
    Lines memo;
    for (const char* v : {"20", "25,5", "30"}) {
        const LogInput in = In("Temp", v, false, false, ',');
        series.RecordContin(&contin, in);
        const LogClick click = ContinLogClick(&contin, memo.empty(), in);
        if (click.header) memo.push_back(*click.header);
        memo.push_back(*click.line);
    }
    EXPECT_EQ(series.Lines(), memo);
    EXPECT_EQ(series.Header(), memo.front());
}

// A second click whose header labels the columns otherwise starts a block
// under its own header; more or fewer component groups do not.
TEST(ResultsSeries, ANewHeaderBlockWhereTheOldHeaderWouldMislabel)
{
    const DiscreteSolution discrete = Components(3);
    const std::string kat = "K\xB9t";  // "Kąt" in Windows-1250
    struct Case { const char* name; LogInput first, second; std::size_t groups1, groups2; bool newBlock; };
    const Case cases[] = {
        {"same parameter", In("Temp", "20"), In("Temp", "25"), 3, 3, false},
        {"renamed Temp -> Kąt", In("Temp", "20"), In(kat, "25"), 3, 3, true},
        {"1000/T switched on", In("Temp", "20"), In("Temp", "25", true), 3, 3, true},
        {"rates instead of decay times", In("Temp", "20"), In("Temp", "25", false, true), 3, 3, true},
        {"more component groups", In("Temp", "20"), In("Temp", "25"), 2, 4, false},
        {"fewer component groups", In("Temp", "20"), In("Temp", "25"), 4, 1, false},
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
// decimal separator; a log of another analysis gets a header of its own.
TEST(ResultsSeries, ALogReadBackContinuesItsSeries)
{
    const ContinSolution contin = TwoPeaks();
    const CumulantResult cumulants = Cumulants();
    const LogClick continClick = ContinLogClick(&contin, true, In("Temp", "20,5", false, false, ','));
    const Lines continLog = {*continClick.header, *continClick.line};

    struct Case { const char* name; Lines log; bool cumulant; bool header; };
    const Case cases[] = {
        {"CONTIN log, CONTIN click", continLog, false, false},
        {"CONTIN log, cumulant click", continLog, true, true},
        {"a note of the user's only", {"my own line"}, false, false},
        {"lines under no header", {*continClick.line}, false, false},
        {"two blocks, the last one CONTIN's", {*CumulantLogClick(&cumulants, {}, true, In("Temp", "1")).header,
                                               "1.00\t2.0E+00\t \t", *continClick.header}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsSeries s(c.log);
        const LogInput in = In("Temp", "21", false, false, ',');
        const auto step = c.cumulant ? s.RecordCumulants(&cumulants, {}, in) : s.RecordContin(&contin, in);
        const LogClick expected = c.cumulant ? CumulantLogClick(&cumulants, {}, true, in) : ContinLogClick(&contin, true, in);
        Lines added;
        if (c.header) added.push_back(*expected.header);
        added.push_back(*expected.line);
        EXPECT_EQ(step.added, added);
        Lines all = c.log;
        all.insert(all.end(), added.begin(), added.end());
        EXPECT_EQ(s.Lines(), all);
    }
}

// A failed click keeps the header it added and adds no line; a click without
// a result adds only the header of an empty series.
TEST(ResultsSeries, FailuresKeepTheHeaderAndAddNoLine)
{
    const ContinSolution contin = TwoPeaks();
    ResultsSeries s;
    const auto bad = s.RecordContin(&contin, In("Temp", "abc"));
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(s.Lines(), Lines{*ContinLogClick(nullptr, true, In("Temp", "1")).header});
    EXPECT_EQ(bad.added, s.Lines());

    const auto none = s.RecordContin(nullptr, In("Temp", "1"));
    EXPECT_TRUE(none.noResult);
    EXPECT_FALSE(none.error);
    EXPECT_TRUE(none.added.empty());
    EXPECT_EQ(s.Lines().size(), 1u);
}
