#include "results/Export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fluvena;

namespace {

// Ten points x = 1, 2, ..., 10 (and 1.2346 at index 4), y = x / 10.
Workspace Loaded()
{
    Workspace ws;
    for (int i = 0; i < 10; ++i) {
        ws.DataX.push_back(i == 4 ? 1.2346 : i + 1.0);
        ws.DataY.push_back((i + 1) / 10.0);
    }
    ws.PointCount = 10;
    ws.SetRange(3, 5);
    return ws;
}

// A CONTIN record fitted on points 3 ... 5, abscissae as the listing prints
// them (three significant digits).
ContinSolution ContinFit()
{
    ContinSolution s;
    s.fitX = {4.0, 1.23, 6.0};
    s.fitY = {0.5, 0.25, 0.125};
    s.distX = {10.0, 20.0};
    s.distY = {0.001, 0.002};
    s.distErr = {0.0, 0.0};
    return s;
}

void ShowContin(Workspace& ws)
{
    ws.ContinSolutions = {ContinSolution{}, ContinFit()};
    ws.SolutionCount = 2;
    ws.CurrentSolution = 1;
    ws.LastAnalysis = kContin;
    ws.ContinOnChart = 1;
    ws.ContinGridPoints = 2;
}

void ShowDiscrete(Workspace& ws)
{
    RozwiazanieDisc r;
    r.fitX = {4.0, 1.2346, 6.0};
    r.fitY = {-1.0, -2.0, -3.0};
    r.residual = {0.0, 0.0, 0.0};
    ws.DiscreteSolutions = {r};
    ws.SolutionCount = 1;
    ws.CurrentSolution = 0;
    ws.LastAnalysis = kDiscrete;
}

std::vector<std::string> Lines(std::initializer_list<const char*> l) { return {l.begin(), l.end()}; }

}  // namespace

TEST(FitExport, FittedValuesOnlyForThePointsTheyBelongTo)
{
    struct Case {
        const char* name;
        void (*setup)(Workspace&);
        char sep;
        std::vector<std::string> expect;
    };
    const Case cases[] = {
        {"no analysis", [](Workspace&) {}, '.',
         Lines({"X\tYexp\tYfit", "4.000E+00\t4.000E-01\t0.000E+00", "1.235E+00\t5.000E-01\t0.000E+00",
                "6.000E+00\t6.000E-01\t0.000E+00"})},
        {"CONTIN on show, comma", ShowContin, ',',
         Lines({"X\tYexp\tYfit", "4,000E+00\t4,000E-01\t5,000E-01", "1,235E+00\t5,000E-01\t2,500E-01",
                "6,000E+00\t6,000E-01\t1,250E-01"})},
        {"DISCRETE on show", ShowDiscrete, '.',
         Lines({"X\tYexp\tYfit", "4.000E+00\t4.000E-01\t-1.000E+00", "1.235E+00\t5.000E-01\t-2.000E+00",
                "6.000E+00\t6.000E-01\t-3.000E+00"})},
        {"range moved by one after CONTIN", [](Workspace& ws) { ShowContin(ws); ws.SetRange(4, 6); }, '.',
         Lines({"X\tYexp\tYfit", "1.235E+00\t5.000E-01\t0.000E+00", "6.000E+00\t6.000E-01\t0.000E+00",
                "7.000E+00\t7.000E-01\t0.000E+00"})},
        {"range widened after DISCRETE", [](Workspace& ws) { ShowDiscrete(ws); ws.SetRange(3, 7); }, '.',
         Lines({"X\tYexp\tYfit", "4.000E+00\t4.000E-01\t-1.000E+00", "1.235E+00\t5.000E-01\t-2.000E+00",
                "6.000E+00\t6.000E-01\t-3.000E+00", "7.000E+00\t7.000E-01\t0.000E+00",
                "8.000E+00\t8.000E-01\t0.000E+00"})},
        {"CONTIN records released by a reload", [](Workspace& ws) {
             ShowContin(ws);
             const auto x = ws.DataX, y = ws.DataY;
             ws.Reset();
             ws.DataX = x, ws.DataY = y, ws.PointCount = 10;
             ws.SetRange(3, 5);
         }, '.',
         Lines({"X\tYexp\tYfit", "4.000E+00\t4.000E-01\t0.000E+00", "1.235E+00\t5.000E-01\t0.000E+00",
                "6.000E+00\t6.000E-01\t0.000E+00"})},
        {"after a reset: header only", [](Workspace& ws) { ShowDiscrete(ws); ws.Reset(); }, '.',
         Lines({"X\tYexp\tYfit"})},
        {"reversed range: header only", [](Workspace& ws) { ws.SetRange(6, 2); }, '.', Lines({"X\tYexp\tYfit"})},
        {"range beyond the loaded points", [](Workspace& ws) { ws.FirstPoint = 8; ws.RangeCount = 5; }, '.',
         Lines({"X\tYexp\tYfit", "9.000E+00\t9.000E-01\t0.000E+00", "1.000E+01\t1.000E+00\t0.000E+00"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = Loaded();
        c.setup(ws);
        EXPECT_EQ(FitExportTable(ws, c.sep), c.expect);
    }
}

TEST(DistributionExport, RecordOnShowOrIndexRows)
{
    struct Case {
        const char* name;
        void (*setup)(Workspace&);
        std::vector<std::string> expect;
    };
    const Case cases[] = {
        {"no CONTIN deck yet", [](Workspace&) {}, Lines({"X\tYfit"})},
        {"grid set, no result", [](Workspace& ws) { ws.ContinGridPoints = 3; },
         Lines({"X\tYfit", "0.000E+00\t0.000E+00", "1.000E+00\t0.000E+00", "2.000E+00\t0.000E+00"})},
        {"CONTIN on show", ShowContin, Lines({"X\tYfit", "1.000E+01\t1.000E-03", "2.000E+01\t2.000E-03"})},
        {"grid larger than the record", [](Workspace& ws) { ShowContin(ws); ws.ContinGridPoints = 3; },
         Lines({"X\tYfit", "1.000E+01\t1.000E-03", "2.000E+01\t2.000E-03", "2.000E+00\t0.000E+00"})},
        {"DISCRETE after CONTIN: the chart's record", [](Workspace& ws) { ShowContin(ws); ShowDiscrete(ws); },
         Lines({"X\tYfit", "1.000E+01\t1.000E-03", "2.000E+01\t2.000E-03"})},
        {"DISCRETE, no CONTIN on the chart", [](Workspace& ws) { ShowDiscrete(ws); ws.ContinGridPoints = 2; },
         Lines({"X\tYfit", "0.000E+00\t0.000E+00", "1.000E+00\t0.000E+00"})},
        {"DISCRETE, chart index beyond the records",
         [](Workspace& ws) { ShowContin(ws); ShowDiscrete(ws); ws.ContinOnChart = 2; },
         Lines({"X\tYfit", "0.000E+00\t0.000E+00", "1.000E+00\t0.000E+00"})},
        {"CONTIN position beyond the set", [](Workspace& ws) { ShowContin(ws); ws.CurrentSolution = 5; },
         Lines({"X\tYfit", "0.000E+00\t0.000E+00", "1.000E+00\t0.000E+00"})},
        {"after a reset", [](Workspace& ws) { ShowContin(ws); ws.Reset(); }, Lines({"X\tYfit"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = Loaded();
        c.setup(ws);
        EXPECT_EQ(DistributionExportTable(ws, '.'), c.expect);
    }
}
