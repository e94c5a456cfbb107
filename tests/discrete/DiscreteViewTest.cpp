#include "discrete/DiscreteListing.h"

#include "DiscreteTestData.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace fluvena;

namespace {

RozwiazanieDisc Record(std::vector<double> amplitude, std::vector<double> amplitudeErr, std::vector<double> rate,
                       std::vector<double> rateErr, double punc, std::size_t points)
{
    RozwiazanieDisc r;
    r.componentCount = static_cast<std::int32_t>(amplitude.size());
    r.amplitude = std::move(amplitude);
    r.amplitudeErr = std::move(amplitudeErr);
    r.rate = std::move(rate);
    r.rateErr = std::move(rateErr);
    r.punc = punc;
    r.fitX.assign(points, 1.0);
    r.fitY.assign(points, 2.0);
    r.residual.assign(points, 0.0);
    return r;
}

Workspace WithSolutions(std::vector<RozwiazanieDisc> records, std::int32_t rangeCount)
{
    Workspace ws;
    ws.LastAnalysis = kDiscrete;
    ws.SolutionCount = static_cast<std::int32_t>(records.size());
    ws.DiscreteSolutions = std::move(records);
    ws.RangeCount = rangeCount;
    return ws;
}

}  // namespace

TEST(DiscreteView, RatesAndTimes)
{
    auto ws = WithSolutions({Record({0.0123456, 0.5}, {1.088, 12.5}, {2000.0, 250.0}, {5.0, 2.238}, 0.0456, 100)}, 100);
    const auto rates = MakeDiscreteView(ws, 0, true, ',');
    ASSERT_FALSE(rates.error);
    EXPECT_EQ(rates.columnCount, 3);
    const std::vector<std::vector<std::string>> expectedRates = {
        {"", "Intensywnosc", "B\xB3\xB9" "d % int", "1/Czas", "B\xB3\xB9" "d % 1/Czas"},
        {"Sk\xB3" "adowa 1", "1,2346E-02", "1,0880E+00", "2,0000E+03", "5,0000E+00"},
        {"Sk\xB3" "adowa 2", "5,0000E-01", "1,2500E+01", "2,5000E+02", "2,2380E+00"},
    };
    EXPECT_EQ(rates.cells, expectedRates);
    EXPECT_EQ(rates.label5, "PUNC=0,046");

    // The error columns of the listing are percent errors: the percent error
    // of a time is that of its rate.
    const auto times = MakeDiscreteView(ws, 0, false, '.');
    const std::vector<std::vector<std::string>> expectedTimes = {
        {"", "Intensywnosc", "B\xB3\xB9" "d % int", "Czas", "B\xB3\xB9" "d % czasu"},
        {"Sk\xB3" "adowa 1", "1.2346E-02", "1.0880E+00", "5.0000E-04", "5.0000E+00"},
        {"Sk\xB3" "adowa 2", "5.0000E-01", "1.2500E+01", "4.0000E-03", "2.2380E+00"},
    };
    EXPECT_EQ(times.cells, expectedTimes);
    EXPECT_EQ(times.label5, "PUNC=0.046");
    EXPECT_EQ(times.seriesPoints, 99u);
}

TEST(DiscreteView, TimeOfAZeroOrTinyRateIsEmpty)
{
    const double inf = std::numeric_limits<double>::infinity();
    auto ws = WithSolutions({Record({0.1, 0.2, inf}, {0.0, 1.0, 1.0}, {0.0, 1e-320, 1.0}, {0.0, 1.0, inf}, 0.5, 3)}, 3);
    const auto times = MakeDiscreteView(ws, 0, false, '.');
    ASSERT_EQ(times.cells.size(), 4u);
    EXPECT_EQ(times.cells[1][3], "");
    EXPECT_EQ(times.cells[1][4], "0.0000E+00");
    EXPECT_EQ(times.cells[2][3], "");  // 1 / 1e-320 overflows
    EXPECT_EQ(times.cells[3][1], "");
    EXPECT_EQ(times.cells[3][4], "");
    const auto rates = MakeDiscreteView(ws, 0, true, '.');
    EXPECT_EQ(rates.cells[1][3], "0.0000E+00");
}

TEST(DiscreteView, PositionIsBroughtIntoTheSet)
{
    auto ws = WithSolutions({Record({0.1}, {1}, {1}, {1}, 0.1, 5), Record({0.1, 0.2}, {1, 1}, {1, 2}, {1, 1}, 0.2, 5),
                             Record({}, {}, {}, {}, 0.3, 5)},
                            5);
    struct Case { std::int32_t position, current, columns; bool first; const char* label6; };
    const Case cases[] = {{0, 0, 2, true, "0"}, {1, 1, 3, false, "1"}, {2, 2, 1, false, "2"},
                          {7, 2, 1, false, "2"}, {-4, 0, 2, true, "0"}};
    for (const auto& c : cases) {
        ws.CurrentSolution = 99;
        const auto v = MakeDiscreteView(ws, c.position, true, '.');
        ASSERT_FALSE(v.error);
        EXPECT_EQ(v.current, c.current);
        EXPECT_EQ(ws.CurrentSolution, c.current);
        EXPECT_EQ(v.first, c.first);
        EXPECT_EQ(v.columnCount, c.columns);
        EXPECT_EQ(v.cells.size(), static_cast<std::size_t>(c.columns));
        EXPECT_EQ(v.label6, c.label6);
        EXPECT_EQ(v.record, &ws.DiscreteSolutions[static_cast<std::size_t>(c.current)]);
        EXPECT_EQ(v.seriesPoints, 4u);
    }
    // SolutionCount larger than the records held: the records bound it.
    ws.SolutionCount = 10;
    EXPECT_EQ(MakeDiscreteView(ws, 9, true, '.').current, 2);
}

TEST(DiscreteView, NothingToShow)
{
    struct Case { const char* what; std::int32_t lastAnalysis, solutionCount; std::size_t records; };
    const Case cases[] = {
        {"after a CONTIN run", kContin, 3, 3},
        {"after a reset", kDiscrete, 0, 3},
        {"no records", kDiscrete, 2, 0},
        {"before any run", kNoAnalysis, 0, 0},
    };
    for (const auto& c : cases) {
        Workspace ws;
        ws.LastAnalysis = c.lastAnalysis;
        ws.SolutionCount = c.solutionCount;
        ws.DiscreteSolutions.resize(c.records);
        ws.CurrentSolution = 1;
        const auto v = MakeDiscreteView(ws, 0, true, '.');
        EXPECT_TRUE(v.error) << c.what;
        EXPECT_EQ(v.record, nullptr) << c.what;
        EXPECT_EQ(ws.CurrentSolution, 1) << c.what;
    }
}

TEST(DiscreteView, SeriesPointsStopOneShort)
{
    struct Case { std::int32_t rangeCount; std::size_t held, expected; };
    const Case cases[] = {{100, 100, 99}, {2, 2, 1}, {1, 1, 0}, {0, 0, 0}, {-3, 0, 0}, {50, 10, 10}};
    for (const auto& c : cases) {
        auto ws = WithSolutions({Record({0.1}, {1}, {1}, {1}, 0.1, c.held)}, c.rangeCount);
        EXPECT_EQ(MakeDiscreteView(ws, 0, true, '.').seriesPoints, c.expected) << c.rangeCount;
    }
}

TEST(DiscreteView, BimodalListingShowsTheNegativeBaselineSolution)
{
    auto ws = fluvena::testing::LoadedWorkspace("bimodal.txt", 0, 99);
    ApplyDiscreteParse(ws, ParseDiscreteListing(NormalizedText(fluvena::testing::ReadFixture("bimodal.discrete.out")), ws));
    const auto v = MakeDiscreteView(ws, 1, false, '.');
    ASSERT_FALSE(v.error);
    EXPECT_EQ(v.columnCount, 4);
    EXPECT_EQ(v.cells[2][1], "9.8490E-02");
    EXPECT_EQ(v.cells[2][2], "8.3996E+02");
    EXPECT_EQ(v.cells[2][3], "1.5684E+02");  // 1 / 6.376E-03
    EXPECT_EQ(v.cells[2][4], "1.5794E+02");
    EXPECT_EQ(v.label5, "PUNC=0.173");
    EXPECT_EQ(MakeDiscreteView(ws, 2, false, '.').label5, "PUNC=0.000");
    EXPECT_EQ(v.seriesPoints, 99u);
}
