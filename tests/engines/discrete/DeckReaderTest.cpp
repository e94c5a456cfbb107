#include "ReadBack.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

namespace fluvena::discrete {
namespace {

// A deck as the product writes it: t = 1 ... n, y = exp(-0.3 t).
std::string Deck(const std::string& card2, int n = 20) {
    std::vector<double> t;
    for (int i = 1; i <= n; ++i) t.push_back(i);
    return test::SyntheticDeck(card2, t, {1.0}, {0.3});
}

// The product's deck, and numbers by blanks with several values a line
// (multi-digit numbers shift the columns) and with any Fortran exponent
// letter (E, D, d or none).
TEST(DeckReader, ReadsTheProductsDeckAndFreeLayouts) {
    ReadOutcome r = ReadDataSet(Deck("TFFTFFTTF  6  2  5"));
    ASSERT_TRUE(r.set);
    EXPECT_EQ(r.set->title, "nazwa.in");
    EXPECT_EQ(r.set->sw, (std::array<bool, 9>{true, false, false, true, false, false, true, true, false}));
    EXPECT_EQ(std::vector<int>({r.set->nlammx, r.set->iwt, r.set->mtry}), std::vector<int>({6, 2, 5}));
    ASSERT_EQ(r.set->y.size(), 20u);
    EXPECT_DOUBLE_EQ(r.set->t[19], 20.0);
    EXPECT_NEAR(r.set->y[0], 0.741, 1e-12);

    std::string d = "title\nFFFFFFFFF 3 -3 45\n9\n1 2 3 4 5\n6 7 8 9\n";
    d += "9.00E-01 8.1e-1 7.29E-01\n6.56D-01 5.9E-01 .531 4.78E-01\n4.3d-01\n3.87-01\n";
    r = ReadDataSet(d);
    ASSERT_TRUE(r.set) << r.rejection->reason;
    EXPECT_EQ(std::vector<int>({r.set->nlammx, r.set->iwt, r.set->mtry}), std::vector<int>({3, -3, 45}));
    EXPECT_DOUBLE_EQ(r.set->t[8], 9.0);
    EXPECT_EQ(r.set->y, (std::vector<double>{0.9, 0.81, 0.729, 0.656, 0.59, 0.531, 0.478, 0.43, 0.387}));
}

// A title that holds the listing's markers.
const std::string kForged = "1DISCRETE WEIGHTED AVERAGE ALPHA +- STD ERR 9 COMPONENTS PUNC EXACT";

// Decks that cannot be analysed: the listing says why (the reason's words
// below) and holds no table, whatever the echoed cards hold.
TEST(DeckReader, RejectedDeckListingSaysWhyAndHoldsNoTable) {
    const std::string t = "t\nTFFTFFTTF  1  1  5\n5\n";
    const std::pair<std::string, const char*> cases[] = {
        {"", "NO TITLE CARD"}, {"title\n", "ERRONEOUS CARD IMAGE"},
        {Deck("TFFTFXTTF  6  2  5"), "SWITCH 6 (PRPREL) IN COLUMN 6 IS NOT T OR F"},
        {Deck("tFFTFFTTF  6  2  5"), "SWITCH 1 (LAST)"},
        {Deck("TFFT"), "NINE SWITCHES"},
        {Deck("TFFTFFTTF  6  2"), "THREE WHOLE NUMBERS"}, {Deck("TFFTFFTTF  6  2  5  1"), "THREE WHOLE NUMBERS"},
        {Deck("TFFTFFTTF  6  2.5  5"), "IWT = '2.5' IS NOT A WHOLE NUMBER"},
        {Deck("TFFTFFTTF  99999999999  2  5"), "NLAMMX = '99999999999'"},
        {Deck("TFFTFFTTF  0  2  5"), "NLAMMX = 0 IS OUTSIDE 1 ... 9"},
        {Deck("TFFTFFTTF  10  2  5", 30), "NLAMMX = 10 IS OUTSIDE 1 ... 9"},
        {Deck("TFFTFFTTF  6  4  5"), "IWT = 4 IS IMPROPER"}, {Deck("TFFTFFTTF  6  0  5"), "IWT = 0 IS IMPROPER"},
        {Deck("TFFTFFTTF  6  -1  5"), "IWT = -1 IS IMPROPER"},
        {Deck("TFFTFFTTF  6  2  0"), "MTRY = 0 IS OUTSIDE 1 ... 45"},
        {Deck("TFFTFFTTF  6  2  46"), "MTRY = 46 IS OUTSIDE 1 ... 45"},
        {Deck("TFFTFFTTF  6  2  5", 14), "N = 14 IS OUTSIDE 15 ... 4096"},
        {"t\nTFFTFFTTF  6  2  5\n4097\n", "N = 4097 IS OUTSIDE 15 ... 4096"},
        {"t\nTFFTFFTTF  1  2  5\n-3\n", "N = -3 IS OUTSIDE 5 ... 4096"},
        {"t\nTFFTFFTTF  1  2  5\nabc\n", "N MUST BE ONE WHOLE NUMBER"},
        {"t\nTFFTFFTTF  1  2  5\n", "NUMBER OF POINTS N IS MISSING"},
        {t + "1\n2\n3x\n4\n5\n", "CARD 6: '3x' IS NOT A NUMBER"}, {t + "1\n2\n3,5\n4\n5\n", "'3,5' IS NOT A NUMBER"},
        {t + "1 2 3 4 inf\n", "'inf' IS NOT A NUMBER"}, {t + "1 2 3 4 1E999\n", "'1E999' IS NOT A NUMBER"},
        {t + "1\n2\n3\n4\n5\n1\n2\n", "ONLY 7 VALUES FOUND"},
        {kForged + "\nTFFTFFTTF  2  1  5 ALPHA +- STD ERR\n", "THREE WHOLE NUMBERS"},
        {t + "1 2 3 4 5 1 2 3 4 5\nWEIGHTS\n1 1 -1 1 1\n", "CARD 6: WEIGHT '-1' IS NOT A POSITIVE NUMBER"},
        {t + "1 2 3 4 5 1 2 3 4 5\nWEIGHTS\n1 1 0\n", "WEIGHT '0' IS NOT"},
        {t + "1 2 3 4 5 1 2 3 4 5\nWEIGHTS\n1 1 1\n", "ONLY 3 WEIGHTS FOUND"},
    };
    for (const auto& [deck, reason] : cases) {
        SCOPED_TRACE(reason);
        EXPECT_FALSE(ReadDataSet(deck).set);
        const std::string listing = RunDeck(deck);
        EXPECT_EQ(listing.rfind("1DISCRETE", 0), 0u);
        EXPECT_EQ(listing.find("1DISCRETE", 10), std::string::npos);
        EXPECT_NE(listing.find(reason), std::string::npos) << listing;
        EXPECT_EQ(listing.find("ALPHA +- STD ERR"), std::string::npos);
        EXPECT_EQ(listing.find("WEIGHTED AVERAGE"), std::string::npos);
        EXPECT_NE(listing.find("CANNOT BE ANALYSED"), std::string::npos);
    }
}

// Weights after the ordinates take the place of the IWT rule: points of
// weight next to zero (a spoilt tail) do not move the fit; without them the
// same points make a second component.
TEST(DeckReader, WeightsAfterTheOrdinatesWeighTheFit) {
    const std::vector<double> t = test::Geometric(1, 1.1, 40);
    std::string spoilt = test::SyntheticDeck("TFFTFFTTF  3  2  5", t, {1.0}, {0.3}, 0, 1e-3, 3);
    // The last ten ordinates raised by 0.05.
    std::size_t p = spoilt.size() - 1;
    for (int k = 0; k < 10; ++k) p = spoilt.rfind('\n', p - 1);
    std::string tail = spoilt.substr(p + 1), raised;
    for (std::size_t b = 0, e; (e = tail.find('\n', b)) != std::string::npos; b = e + 1)
        raised += FormatFloat(std::stod(tail.substr(b, e - b)) + 0.05, Pattern::E2, '.') + "\n";
    spoilt = spoilt.substr(0, p + 1) + raised;
    std::string weights = "WEIGHTS\n";
    for (std::size_t k = 0; k < t.size(); ++k) weights += k + 10 < t.size() ? "1.0\n" : "1.0E-08\n";

    const ReadOutcome r = ReadDataSet(spoilt + weights);
    ASSERT_TRUE(r.set);
    ASSERT_EQ(r.set->weights.size(), t.size());
    EXPECT_EQ(r.set->weights.back(), 1e-8);
    EXPECT_TRUE(r.rest.empty());
    const DiscreteListing weighted = test::ReadBack(spoilt + weights), plain = test::ReadBack(spoilt);
    ASSERT_EQ(weighted.status, DiscreteListing::Status::Ok) << weighted.reason;
    ASSERT_EQ(plain.status, DiscreteListing::Status::Ok) << plain.reason;
    ASSERT_EQ(weighted.solutions[0].components.size(), 1u);
    EXPECT_NEAR(weighted.solutions[0].components[0].rate, 0.3, 0.006);
    const bool moved = plain.solutions[0].components.size() > 1 ||
                       std::fabs(plain.solutions[0].components[0].rate / 0.3 - 1) > 0.05;
    EXPECT_TRUE(moved) << plain.solutions[0].components[0].rate;
}

// While LAST is false another data set follows: each analysed one gets its
// own best solution, and a bad one after it its own rejection.
TEST(DeckReader, SeveralDataSetsWhileLastIsFalse) {
    const std::string first = Deck("FFFFFFFFF  1  1  2", 12), second = Deck("TFFFFFFFF  1  1  2", 12);
    ReadOutcome r = ReadDataSet(first + second);
    ASSERT_TRUE(r.set);
    EXPECT_EQ(r.rest, second);
    std::string listing = RunDeck(first + second);
    int summaries = 0;  // "BEST SOLUTION" with blanks before it: the best of one data set
    for (std::size_t p = 0; (p = listing.find("    BEST SOLUTION", p)) != std::string::npos; ++p) ++summaries;
    EXPECT_EQ(summaries, 2);
    listing = RunDeck(first + "t2\nTFFFFFFFF  1  7  2\n12\n");
    EXPECT_NE(listing.find("BEST SOLUTION"), std::string::npos);
    EXPECT_NE(listing.find("IWT = 7 IS IMPROPER"), std::string::npos);
}

// A title that holds the listing's markers adds no solutions or tables for
// the product's parser.
TEST(DeckReader, EchoedTextCannotForgeMarkers) {
    std::string deck = Deck("TFFTFFTTF  2  1  3", 30);
    deck.replace(0, 8, kForged);
    const DiscreteListing read = test::ReadBack(deck);
    ASSERT_EQ(read.status, DiscreteListing::Status::Ok) << read.reason;
    ASSERT_EQ(read.solutions[0].components.size(), 1u);  // the data are one exponential
    EXPECT_NEAR(read.solutions[0].components[0].rate, 0.3, 0.01);
}

}  // namespace
}  // namespace fluvena::discrete
