#include "discrete/DiscreteDeck.h"

#include "DiscreteTestData.h"
#include "base/Errors.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

using namespace fluvena;
using fluvena::testing::LoadedWorkspace;
using fluvena::testing::Points;
using fluvena::testing::ReadFixture;


TEST(DiscreteDeck, ReferenceDecksAreByteIdentical)
{
    struct Case { const char* data; int first, last; const char* deck; };
    const Case cases[] = {
        {"bimodal.txt", 0, 99, "bimodal.discrete.in"},
        {"lognormal.txt", 0, 79, "lognormal.discrete.in"},
    };
    for (const auto& c : cases) {
        auto ws = LoadedWorkspace(c.data, c.first, c.last);
        const auto deck = BuildDiscreteDeck(ws, kDefaultSwitches, "6", kDefaultWeight, "5");
        EXPECT_EQ(deck.size(), 3u + 2u * static_cast<unsigned>(c.last - c.first + 1)) << c.deck;
        EXPECT_EQ(FileText(deck), ReadFixture(c.deck)) << c.deck;
        EXPECT_EQ(ws.MaxComponents, 6);
        EXPECT_EQ(ws.WeightOption, 2);
        EXPECT_EQ(ws.MaxTries, 5);
    }
}

TEST(DiscreteDeck, ParameterCard)
{
    DiscreteSwitches none{};
    DiscreteSwitches all;
    all.fill(true);
    DiscreteSwitches lastOff = kDefaultSwitches;
    lastOff[0] = false;
    struct Case { DiscreteSwitches sw; const char *e4, *e5, *e6, *card; };
    const Case cases[] = {
        {kDefaultSwitches, "6", "2", "5", "TFFTFFTTF  6  2  5"},
        {all, "6", "2", "5", "TTTTTTTTT  6  2  5"},
        {none, "6", "2", "5", "FFFFFFFFF  6  2  5"},
        {lastOff, "6", "2", "5", "FFFTFFTTF  6  2  5"},
        {kDefaultSwitches, "12", "2", "5", "TFFTFFTTF  12  2  5"},
        {kDefaultSwitches, " +7", "-1", "15", "TFFTFFTTF  7  -1  15"},  // no range check
    };
    for (const auto& c : cases) {
        auto ws = Points({1.0, 2.0}, {0.5, 0.25});
        const auto deck = BuildDiscreteDeck(ws, c.sw, c.e4, c.e5, c.e6);
        ASSERT_EQ(deck.size(), 7u);
        EXPECT_EQ(deck[1], c.card);
    }
    auto ws = Points({1.0, 2.0}, {0.5, 0.25});
    EXPECT_EQ(BuildDiscreteDeck(ws, kDefaultSwitches, "12", "2", "5")[1].find('2', 13), 15u);  // weight in column 16
}

TEST(DiscreteDeck, DataLinesInE2)
{
    auto ws = Points({2.5E-7, 1000.0, 0.00012345, 0.0}, {0.98765, -0.5, 1.0, 1e-300});
    ws.SetRange(1, 3);
    const auto deck = BuildDiscreteDeck(ws, kDefaultSwitches, "6", "2", "5");
    const std::vector<std::string> expected = {"nazwa.in", "TFFTFFTTF  6  2  5", "3",
                                               "1.00E+03", "1.23E-04", "0.00E+00",
                                               "-5.00E-01", "1.00E+00", "1.00E-300"};
    EXPECT_EQ(deck, expected);
    ws.SetRange(0, 0);
    const auto one = BuildDiscreteDeck(ws, kDefaultSwitches, "6", "2", "5");
    EXPECT_EQ(one, (std::vector<std::string>{"nazwa.in", "TFFTFFTTF  6  2  5", "1", "2.50E-07", "9.88E-01"}));
}

TEST(DiscreteDeck, EmptyOrNegativeRangeGivesTheCountAndNoPoints)
{
    auto ws = Points({1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8});
    ws.SetRange(6, 4);
    ASSERT_EQ(ws.RangeCount, -1);
    EXPECT_EQ(BuildDiscreteDeck(ws, kDefaultSwitches, "6", "2", "5"),
              (std::vector<std::string>{"nazwa.in", "TFFTFFTTF  6  2  5", "-1"}));
    ws.FirstPoint = 7;
    ws.LastPoint = 4;
    ws.RangeCount = -3;
    EXPECT_EQ(BuildDiscreteDeck(ws, kDefaultSwitches, "6", "2", "5").back(), "-3");
}

TEST(DiscreteDeck, ConversionFailureKeepsTheEarlierValues)
{
    struct Case { const char *e4, *e5, *e6, *message; int maxComponents, weight, tries; };
    const Case cases[] = {
        {"x", "2", "5", "'x' is not a valid integer value", 0, 0, 0},
        {"4", "", "5", "'' is not a valid integer value", 4, 0, 0},
        {"4", "3", "5.0", "'5.0' is not a valid integer value", 4, 3, 0},
    };
    for (const auto& c : cases) {
        auto ws = Points({1.0, 2.0}, {0.5, 0.25});
        try {
            BuildDiscreteDeck(ws, kDefaultSwitches, c.e4, c.e5, c.e6);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(ws.MaxComponents, c.maxComponents) << c.message;
        EXPECT_EQ(ws.WeightOption, c.weight) << c.message;
        EXPECT_EQ(ws.MaxTries, c.tries) << c.message;
    }
}

TEST(DiscreteDeck, RangeBeyondTheLoadedPointsIsRefused)
{
    auto ws = Points({1.0, 2.0}, {0.5, 0.25});
    ws.FirstPoint = 1;
    ws.LastPoint = 2;
    ws.RangeCount = 2;
    EXPECT_THROW(BuildDiscreteDeck(ws, kDefaultSwitches, "6", "2", "5"), OutOfRange);
}
