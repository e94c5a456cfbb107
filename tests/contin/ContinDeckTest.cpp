#include "contin/ContinDeck.h"

#include "io/DataLoader.h"
#include "base/Errors.h"
#include "io/FileIO.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <string>

using namespace fluvena;

namespace {

Workspace Loaded(const std::string& dataFile, std::int32_t first, std::int32_t last)
{
    const LoadedData d = ParseDataFile(ReadFile(std::string(FLUVENA_TEST_DATA) + "/" + dataFile));
    EXPECT_EQ(d.status, LoadedData::Status::Ok);
    Workspace ws;
    ws.DataX = d.x;
    ws.DataY = d.y;
    ws.PointCount = d.lineCount;
    EXPECT_TRUE(ws.SetRange(first, last));
    return ws;
}

Workspace Points(std::vector<double> x, std::vector<double> y, std::int32_t first, std::int32_t last)
{
    Workspace ws;
    ws.DataX = std::move(x);
    ws.DataY = std::move(y);
    ws.PointCount = static_cast<std::int32_t>(ws.DataX.size());
    ws.FirstPoint = first;
    ws.LastPoint = last;
    ws.RangeCount = last - first + 1;
    return ws;
}

}  // namespace

// The decks CONTIN was run with for the reference listings, byte for byte.
TEST(ContinDeck, ReferenceDecksByteIdentical)
{
    struct Case { const char* data; std::int32_t last; const char* deck; };
    const Case cases[] = {
        {"bimodal.txt", 99, "bimodal.contin.in"},
        {"lognormal.txt", 79, "lognormal.contin.in"},
    };
    for (const auto& c : cases) {
        Workspace ws = Loaded(c.data, 0, c.last);
        const auto deck = BuildContinDeck(ws, "0.1", "1000", "100", '.');
        EXPECT_EQ(deck.size(), 27u + 2u * static_cast<unsigned>(c.last + 1)) << c.data;
        EXPECT_EQ(FileText(deck), ReadFile(std::string(FLUVENA_TEST_DATA) + "/" + c.deck)) << c.data;
        EXPECT_EQ(ws.ContinGridMin, 0.1);
        EXPECT_EQ(ws.ContinGridMax, 1000.0);
        EXPECT_EQ(ws.ContinGridPoints, 100);
    }
}

TEST(ContinDeck, CardsColumnsAndNumberFormats)
{
    Workspace ws = Points({0.0000012, 0.25, 12.5, -0.5, 3, 4, 5, 6, 7, 8}, {1, 0.95, 0.5, 0.125, 0, 0, 0, 0, 0, 0}, 0, 3);
    // Locale with a comma: the edit fields use it, the deck still has points.
    const auto deck = BuildContinDeck(ws, "0,1234", "12345", "7", ',');
    ASSERT_EQ(deck.size(), 35u);
    EXPECT_EQ(deck[0], "nazwa.in");
    EXPECT_EQ(deck[1], " LAST                    1.");
    EXPECT_EQ(deck[9], " RUSER    22            -1.");
    EXPECT_EQ(deck[11], " GMNMX     1       1.23E-01");
    EXPECT_EQ(deck[12], " GMNMX     2       1.23E+04");
    EXPECT_EQ(deck[13], " LUSER     3            -1.");
    EXPECT_EQ(deck[15], " IFORMT");
    EXPECT_EQ(deck[16], " (F30.10)");
    EXPECT_EQ(deck[19], " NG                   7.");
    EXPECT_EQ(deck[22], " RUSER    18    293.16");
    EXPECT_EQ(deck[25], " END");
    EXPECT_EQ(deck[26], " NY     4");
    const std::vector<std::string> data(deck.begin() + 27, deck.end());
    const std::vector<std::string> expected = {"0.00000", "0.25000", "12.50000", "-0.50000",
                                               "1.00000", "0.95000", "0.50000",  "0.12500"};
    EXPECT_EQ(data, expected);
    for (std::size_t i = 1; i < 11; ++i) EXPECT_EQ(deck[i].size(), 27u) << i;
    for (std::size_t i = 20; i < 25; ++i) EXPECT_EQ(deck[i].size(), 22u) << i;
}

// Rounding is half away from zero on the value as stored: a tie that the
// double holds exactly goes up, a decimal tie stored just below goes down.
TEST(ContinDeck, DataAndGridRounding)
{
    struct Case { double x; const char* fixed; };
    const Case cases[] = {
        {0.015625, "0.01563"},   {-0.015625, "-0.01563"}, {0.146635, "0.14663"}, {0.000005, "0.00001"},
        {-0.0000012, "0.00000"}, {0.0000049, "0.00000"},  {999999.999996, "1000000.00000"},
        {123456789.0, "123456789.00000"}, {0.0, "0.00000"},
    };
    for (const auto& c : cases) {
        Workspace ws = Points({c.x}, {0.0}, 0, 0);
        const auto deck = BuildContinDeck(ws, "1.125", "0.145", "1", '.');
        ASSERT_EQ(deck.size(), 29u);
        EXPECT_EQ(deck[27], c.fixed) << c.x;
        EXPECT_EQ(deck[11], " GMNMX     1       1.13E+00");
        EXPECT_EQ(deck[12], " GMNMX     2       1.45E-01");
    }
    Workspace ws = Points({1}, {1}, 0, 0);
    EXPECT_EQ(BuildContinDeck(ws, "9.996", "-0.000123456", "1", '.')[11], " GMNMX     1       1.00E+01");
    EXPECT_EQ(BuildContinDeck(ws, "9.996", "-0.000123456", "1", '.')[12], " GMNMX     2       -1.23E-04");
}

TEST(ContinDeck, SelectedRangeOnly)
{
    Workspace ws = Points({1, 2, 3, 4, 5}, {10, 20, 30, 40, 50}, 2, 2);
    const auto one = BuildContinDeck(ws, "0.1", "1000", "100", '.');
    ASSERT_EQ(one.size(), 29u);
    EXPECT_EQ(one[26], " NY     1");
    EXPECT_EQ(one[27], "3.00000");
    EXPECT_EQ(one[28], "30.00000");

    ws.FirstPoint = 1;
    ws.LastPoint = 3;
    ws.RangeCount = 3;
    const auto three = BuildContinDeck(ws, "0.1", "1000", "100", '.');
    ASSERT_EQ(three.size(), 33u);
    EXPECT_EQ(std::vector<std::string>(three.begin() + 27, three.end()),
              (std::vector<std::string>{"2.00000", "3.00000", "4.00000", "20.00000", "30.00000", "40.00000"}));
}

TEST(ContinDeck, EmptyOrReversedRangeWritesCountOnly)
{
    for (auto [first, last, ny] : {std::tuple{4, 0, " NY     -3"}, std::tuple{3, 2, " NY     0"}}) {
        Workspace ws = Points({1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, first, last);
        const auto deck = BuildContinDeck(ws, "-5", "0", "-2", '.');
        ASSERT_EQ(deck.size(), 27u);
        EXPECT_EQ(deck.back(), ny);
        // No range check on the grid either: CONTIN judges it.
        EXPECT_EQ(deck[11], " GMNMX     1       -5.00E+00");
        EXPECT_EQ(deck[12], " GMNMX     2       0.00E+00");
        EXPECT_EQ(deck[19], " NG                   -2.");
    }
}

TEST(ContinDeck, ConversionOrderAndMessages)
{
    struct Case {
        const char *e1, *e2, *e3, *message;
        double min, max;
        std::int32_t ng;
    };
    // Edit2 is converted first, then Edit1, then Edit3; what was converted
    // before the failure stays stored (initial values 7, 8, 9).
    const Case cases[] = {
        {"x", "y", "z", "'y' is not a valid floating point value", 7, 8, 9},
        {"x", "500", "z", "'x' is not a valid floating point value", 7, 500, 9},
        {"0.5", "500", "100.5", "'100.5' is not a valid integer value", 0.5, 500, 9},
        {"0,5", "500", "10", "'0,5' is not a valid floating point value", 7, 500, 9},
    };
    for (const auto& c : cases) {
        Workspace ws = Points({1, 2, 3}, {1, 2, 3}, 0, 2);
        ws.ContinGridMin = 7;
        ws.ContinGridMax = 8;
        ws.ContinGridPoints = 9;
        try {
            BuildContinDeck(ws, c.e1, c.e2, c.e3, '.');
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(ws.ContinGridMin, c.min) << c.message;
        EXPECT_EQ(ws.ContinGridMax, c.max) << c.message;
        EXPECT_EQ(ws.ContinGridPoints, c.ng) << c.message;
    }
}

TEST(ContinDeck, RangeOutsideTheDataIsRefused)
{
    Workspace ws = Points({1, 2, 3}, {1, 2, 3}, 1, 5);
    EXPECT_THROW(BuildContinDeck(ws, "0.1", "1000", "100", '.'), OutOfRange);
    ws = Points({1, 2, 3}, {1, 2, 3}, -1, 1);
    EXPECT_THROW(BuildContinDeck(ws, "0.1", "1000", "100", '.'), OutOfRange);
}
