#include "contin/ContinListing.h"

#include "io/FileIO.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <string>

using namespace fluvena;

namespace {

Workspace AfterBimodalRun()
{
    Workspace ws;
    ws.RangeCount = 100;
    ws.ContinGridPoints = 100;
    const std::string text = NormalizedText(ReadFile(std::string(FLUVENA_TEST_DATA) + "/bimodal.contin.out"));
    ApplyContinParse(ws, ParseContinListing(text, ws.RangeCount, ws.ContinGridPoints, 0));
    return ws;
}

}  // namespace

TEST(ContinView, ChosenSolutionWithThreePeaks)
{
    Workspace ws = AfterBimodalRun();
    const ContinView v = MakeContinView(ws, 7, ',');
    ASSERT_FALSE(v.error);
    EXPECT_EQ(v.current, 7);
    EXPECT_EQ(ws.CurrentSolution, 7);
    EXPECT_EQ(ws.ContinOnChart, 7);
    EXPECT_TRUE(v.chosen);
    EXPECT_EQ(v.columnCount, 4);
    EXPECT_EQ(v.record, &ws.ContinSolutions[7]);
    EXPECT_EQ(v.label4, "Probe1=0,500");
    EXPECT_EQ(v.fitRows, 100u);
    EXPECT_EQ(v.distRows, 100u);
    const std::vector<std::vector<std::string>> cells = {
        {"", "Intensywnosc", "B\xB3\xB9" "d % int", "Polozenie", "B\xB3\xB9" "d % pol", "Szerokosc"},
        {"Peak 1", "7,1761E-02", "5,3000E+01", "2,3010E-01", "1,1000E+02", "2,8000E-01"},
        {"Peak 2", "6,0019E-01", "1,0000E-01", "1,0067E+01", "4,0000E-01", "8,5000E-02"},
        {"Peak 3", "3,9955E-01", "1,4000E-01", "2,0019E+02", "3,0000E-01", "4,2000E-02"},
    };
    EXPECT_EQ(v.cells, cells);

    const ContinView other = MakeContinView(ws, 2, '.');
    EXPECT_FALSE(other.chosen);
    EXPECT_EQ(other.columnCount, 3);
    EXPECT_EQ(other.label4, "Probe1=1.000");
    EXPECT_EQ(other.cells[2][0], "Peak 2");
}

TEST(ContinView, PositionBroughtIntoTheSet)
{
    struct Case { std::int32_t solutionCount, position, current; };
    const Case cases[] = {
        {11, 0, 0}, {11, 10, 10}, {11, 11, 10}, {11, 32767, 10}, {11, -32768, 0},
        {4, 9, 3},     // fewer solutions counted than records
        {50, 30, 10},  // more counted than records: bounded by the records
    };
    for (const auto& c : cases) {
        Workspace ws = AfterBimodalRun();
        ws.SolutionCount = c.solutionCount;
        const ContinView v = MakeContinView(ws, c.position, '.');
        ASSERT_FALSE(v.error);
        EXPECT_EQ(v.current, c.current) << c.position;
        EXPECT_EQ(ws.CurrentSolution, c.current);
        EXPECT_EQ(v.chosen, c.current == 7);
    }
}

TEST(ContinView, NothingToShow)
{
    struct Case { const char* what; void (*change)(Workspace&); };
    const Case cases[] = {
        {"no solutions", [](Workspace& ws) { ws.SolutionCount = 0; }},
        {"records released", [](Workspace& ws) { ws.Reset(); ws.SolutionCount = 3; }},
        // DISCRETE counts must never be shown as CONTIN solutions.
        {"discrete result", [](Workspace& ws) { ws.LastAnalysis = kDiscrete; ws.SolutionCount = 3; }},
        {"negative count", [](Workspace& ws) { ws.SolutionCount = -1; }},
    };
    for (const auto& c : cases) {
        Workspace ws = AfterBimodalRun();
        ws.CurrentSolution = 5;
        ws.ContinOnChart = 2;
        c.change(ws);
        const std::int32_t onChart = ws.ContinOnChart;
        const ContinView v = MakeContinView(ws, 1, '.');
        EXPECT_TRUE(v.error) << c.what;
        EXPECT_EQ(v.record, nullptr) << c.what;
        EXPECT_EQ(ws.CurrentSolution, 5) << c.what;
        EXPECT_EQ(ws.ContinOnChart, onChart) << c.what;
    }
}

TEST(ContinView, RowsBoundedByTheRecord)
{
    struct Case { std::int32_t range, grid; std::size_t fit, dist; };
    const Case cases[] = {{100, 100, 100, 100}, {150, 120, 100, 100}, {40, 7, 40, 7}, {0, 0, 0, 0}, {-4, -1, 0, 0}};
    for (const auto& c : cases) {
        Workspace ws = AfterBimodalRun();
        ws.RangeCount = c.range;
        ws.ContinGridPoints = c.grid;
        const ContinView v = MakeContinView(ws, 0, '.');
        EXPECT_EQ(v.fitRows, c.fit) << c.range;
        EXPECT_EQ(v.distRows, c.dist) << c.grid;
    }
}

TEST(ContinView, PeaklessAndInconsistentRecords)
{
    Workspace ws;
    ws.LastAnalysis = kContin;
    ws.ContinSolutions.resize(2);
    ws.SolutionCount = 2;
    ws.ContinSolutions[0].prob1ToReject = 0.123456;
    const ContinView none = MakeContinView(ws, 0, '.');
    ASSERT_FALSE(none.error);
    EXPECT_EQ(none.columnCount, 1);
    ASSERT_EQ(none.cells.size(), 1u);
    EXPECT_EQ(none.cells[0][5], "Szerokosc");
    EXPECT_EQ(none.label4, "Probe1=0.123");

    // A count above the arrays never leads to reads beyond them.
    ContinSolution& s = ws.ContinSolutions[1];
    s.peakCount = 3;
    s.peakIntensity = {0.0012345, 2};
    s.peakIntensityErr = {1, 2};
    s.peakPosition = {-0.5, 2};
    s.peakPositionErr = {1, 2};
    s.peakWidth = {0, 2};
    const ContinView v = MakeContinView(ws, 1, '.');
    EXPECT_EQ(v.columnCount, 3);
    EXPECT_EQ(v.cells[1][1], "1.2345E-03");
    EXPECT_EQ(v.cells[1][3], "-5.0000E-01");
    EXPECT_EQ(v.cells[1][5], "0.0000E+00");
}
