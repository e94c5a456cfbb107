#include "core/Workspace.h"

#include <gtest/gtest.h>

using namespace fluvena;

namespace {
Workspace Loaded(int n)
{
    Workspace ws;
    ws.PointCount = n;
    ws.DataX.assign(static_cast<std::size_t>(n), 1.0);
    ws.DataY.assign(static_cast<std::size_t>(n), 2.0);
    return ws;
}
}  // namespace

TEST(Workspace, RangeFollowsThePositions)
{
    struct Case { int first, last, expectFirst, expectLast, count; };
    const Case cases[] = {{0, 9, 0, 9, 10}, {3, 7, 3, 7, 5}, {4, 4, 4, 4, 1}, {6, 2, 6, 2, -3},
                          {0, 99, 0, 9, 10}, {-1, 5, 0, 5, 6}};
    for (const auto& c : cases) {
        auto ws = Loaded(10);
        ASSERT_TRUE(ws.SetRange(c.first, c.last));
        EXPECT_EQ(ws.FirstPoint, c.expectFirst);
        EXPECT_EQ(ws.LastPoint, c.expectLast);
        EXPECT_EQ(ws.RangeCount, c.count);
    }
}

TEST(Workspace, RangeWithoutDataChangesNothing)
{
    Workspace ws;
    ws.FirstPoint = 2;
    ws.LastPoint = 5;
    EXPECT_FALSE(ws.SetRange(0, 3));
    EXPECT_EQ(ws.FirstPoint, 2);
    EXPECT_EQ(ws.LastPoint, 5);
    EXPECT_EQ(ws.RangeCount, 0);
}

TEST(Workspace, ResetReleasesDataAndContinButKeepsTheRest)
{
    auto ws = Loaded(10);
    ws.SetRange(2, 8);
    ws.ContinGridPoints = 100;
    ws.ContinGridMin = 0.1;
    ws.ContinGridMax = 1000;
    ws.SolutionCount = 3;
    ws.CurrentSolution = 2;
    ws.ChosenSolution = 1;
    ws.LastAnalysis = kDiscrete;
    ws.ContinSolutions.resize(3);
    ws.DiscreteSolutions.resize(3);
    ws.MaxComponents = 6;
    ws.Reset();
    EXPECT_EQ(ws.PointCount, 0);
    EXPECT_TRUE(ws.DataX.empty());
    EXPECT_TRUE(ws.DataY.empty());
    EXPECT_TRUE(ws.ContinSolutions.empty());
    EXPECT_EQ(ws.RangeCount, 0);
    EXPECT_EQ(ws.ContinGridPoints, 0);
    EXPECT_EQ(ws.SolutionCount, 0);
    EXPECT_EQ(ws.ContinGridMin, 0.0);
    EXPECT_EQ(ws.ContinGridMax, 0.0);
    EXPECT_EQ(ws.FirstPoint, 2);
    EXPECT_EQ(ws.LastPoint, 8);
    EXPECT_EQ(ws.CurrentSolution, 2);
    EXPECT_EQ(ws.ChosenSolution, 1);
    EXPECT_EQ(ws.LastAnalysis, kDiscrete);
    EXPECT_EQ(ws.DiscreteSolutions.size(), 3u);
    EXPECT_EQ(ws.MaxComponents, 6);
    EXPECT_EQ(ws.DiscreteOnShow(), nullptr);  // SolutionCount is 0 after the reset
    ws.Reset();                               // a second reset is harmless
    EXPECT_EQ(ws.PointCount, 0);
}

TEST(Workspace, OnShowGuardsTheKindAndTheIndex)
{
    Workspace ws;
    ws.ContinSolutions.resize(2);
    ws.SolutionCount = 2;
    ws.LastAnalysis = kContin;
    ws.CurrentSolution = 1;
    EXPECT_EQ(ws.ContinOnShow(), &ws.ContinSolutions[1]);
    EXPECT_EQ(ws.DiscreteOnShow(), nullptr);
    ws.CurrentSolution = 2;
    EXPECT_EQ(ws.ContinOnShow(), nullptr);
    ws.LastAnalysis = kDiscrete;
    ws.DiscreteSolutions.resize(5);
    ws.CurrentSolution = 1;
    EXPECT_EQ(ws.ContinOnShow(), nullptr);
    EXPECT_EQ(ws.DiscreteOnShow(), &ws.DiscreteSolutions[1]);
}
