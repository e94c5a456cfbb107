#include "sets/Repeats.h"

#include <gtest/gtest.h>

#include <vector>

namespace fluvena::sets {
namespace {

TEST(Repeats, GroupsByAngleAndTemperatureAndMarksTheOddOne)
{
    // Five repeats at 90 degrees (one of them 1.3 times too fast), two at
    // 30 degrees, one at 90 degrees but 5 K warmer, one with dust.
    const std::vector<RepeatInput> in{
        {90.0, 298.15, 100.0},  {90.01, 298.2, 101.0}, {30.0, 298.15, 20.0},
        {90.0, 298.15, 130.0},  {90.0, 298.15, 99.0},  {90.0, 303.15, 120.0},
        {90.0, 298.15, 100.5},  {30.0, 298.15, 26.0},  {30.0, 298.1, 20.5, true},
    };
    const RepeatAnalysis r = AnalyseRepeats(in);
    ASSERT_EQ(r.groups.size(), 3u);
    EXPECT_EQ(r.groups[0].members, (std::vector<std::size_t>{0, 1, 3, 4, 6}));
    EXPECT_EQ(r.groups[1].members, (std::vector<std::size_t>{2, 7, 8}));
    EXPECT_EQ(r.groups[2].members, (std::vector<std::size_t>{5}));
    EXPECT_EQ(r.groupOf[7], 1u);

    const std::vector<RepeatMark> expected{
        RepeatMark::None, RepeatMark::None, RepeatMark::None, RepeatMark::Outlier, RepeatMark::None,
        RepeatMark::None, RepeatMark::None, RepeatMark::Outlier, RepeatMark::Dust};
    EXPECT_EQ(r.marks, expected);

    const RepeatGroup& g = r.groups[0];
    EXPECT_EQ(g.values, 5);
    EXPECT_NEAR(g.mean, 106.1, 1e-9);
    EXPECT_NEAR(g.median, 100.5, 1e-12);
    EXPECT_NEAR(g.robustSd, 1.4826 * 0.5, 1e-12);  // deviations 0.5 0.5 29.5 1.5 0
    EXPECT_NEAR(g.standardDeviation, 13.3810, 1e-4);
}

TEST(Repeats, TooFewOrIdenticalValues)
{
    // Two repeats cannot single one out; identical repeats mark one that differs;
    // a repeat without a value is never marked.
    const std::vector<RepeatInput> in{
        {90, 298, 1.0}, {90, 298, 5.0},                                    // pair
        {60, 298, 2.0}, {60, 298, 2.0}, {60, 298, 2.0}, {60, 298, 2.2},  // MAD 0
        {60, 298, std::nullopt},
    };
    const RepeatAnalysis r = AnalyseRepeats(in);
    ASSERT_EQ(r.groups.size(), 2u);
    const std::vector<RepeatMark> expected{RepeatMark::None,    RepeatMark::None, RepeatMark::None,
                                           RepeatMark::None,    RepeatMark::None, RepeatMark::Outlier,
                                           RepeatMark::None};
    EXPECT_EQ(r.marks, expected);
    EXPECT_EQ(r.groups[1].values, 4);
}

}  // namespace
}  // namespace fluvena::sets
