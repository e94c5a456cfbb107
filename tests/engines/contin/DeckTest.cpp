// The deck reader: cards, Fortran formats and numbers, and the rejections
// that must end in a listing line naming the card and "CHECK USERS GUIDE".
#include "ContinEngine.h"
#include "Synthetic.h"
#include "contin/ContinListing.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace fluvena::contin;
using namespace contin_test;

std::string SmallDeck(int ny = 20, int ng = 30) {
    auto t = LogSpaced(1, 1000, ny);
    auto y = Decays(t, {{30, 1.0}}, 1e-3, 7);
    return ProductDeck(t, y, 0.1, 1000, ng);
}

// Replaces the first line that begins with `prefix`.
std::string Replace(std::string deck, const std::string& prefix, const std::string& with) {
    size_t p = deck.find("\r\n" + prefix);
    EXPECT_NE(p, std::string::npos) << prefix;
    size_t e = deck.find("\r\n", p + 2);
    return deck.substr(0, p + 2) + with + deck.substr(e);
}

// Several values a line, the last line short, the ordinates on a new line;
// defaults where the deck is silent: the kernel exp(-t/g), no baseline.
TEST(ContinDeck, ReadsValuesFieldByFieldAcrossLines) {
    const DeckResult r = ReadDeck(
        "several per line\n NG                   10.\n GMNMX     1       1.00E-01\n GMNMX     2       1.00E+03\n"
        " IFORMT\n (5E15.6)\n IFORMY\n (2(1X,F9.4))\n END\n NY     7\n"
        "   1.000000E+00   2.000000E+00   3.000000E+00   4.000000E+00   5.000000E+00\n"
        "   6.000000E+00        7.0D+00\n"
        "    0.9000    0.8000\n    0.7000    0.6000\n    0.5000\n    0.4000    0.3000\n");
    ASSERT_TRUE(r.ok) << r.errorCard << ": " << r.errorText;
    EXPECT_EQ(r.deck.t, (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(r.deck.y, (std::vector<double>{0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3}));
    EXPECT_EQ(std::tuple(r.deck.nlinf, r.deck.ruser[21], r.deck.ruser[22]), std::tuple(0, 1.0, -1.0));
}

TEST(ContinDeck, RejectsDecksThatCannotGiveAResult) {
    const std::string good = SmallDeck();
    // The line that begins with the first text replaced by the second, and
    // the card the error names.
    const std::tuple<const char*, const char*, const char*> replaced[] = {
        {" NG", " NG                   0.", "NG"}, {" NG", " NG                   1.", "NG"},
        {" NG", " NG                   501.", "NG"}, {" NG", " NG                   1x0.", "NG"},
        {" GMNMX     1", " GMNMX     1       0.00E+00", "GMNMX"},
        {" GMNMX     1", " GMNMX     1      -1.00E+00", "GMNMX"},
        {" GMNMX     1", " GMNMX     1       5.00E+03", "GMNMX"},
        {" GMNMX     1", " GMNMX     1       1.00E+03", "GMNMX"},
        {" NY", " NY     2", "NY"}, {" NY", " NY     2O", "NY"},
        {" NY", " NY    21", "NY"} /* 20 given */, {"0.9", "0.9x", "IFORMY"},
        {" NINTT", " FOOBAR                  0.", "FOOBAR"}, {" (F30.10)", " (Q30.10)", "IFORMT"},
        {" (F30.10)", " (5X)", "IFORMT"}, {" RUSER    10", " RUSER   101             0.", "RUSER"},
        {" IUSER    10", " IUSER    10             1.", "IUSER"}, {" END", " LAST                    1.", "END"},
        {" RUSER    23", " RUSER    23             1.", "RUSER"}, {" RUSER    22", " RUSER    22            -2.", "RUSER"},
        {" RUSER    21", " RUSER    21             2.", "RUSER"}, {" LUSER     3", " LUSER     3             1.", "LUSER"},
        {" NINTT", " IWT                     2.", "IWT"}, {" NINTT", " IWT                     4.", "NY"} /* no weights */,
    };
    for (const auto& [prefix, replacement, card] : replaced) {
        SCOPED_TRACE(replacement);
        const std::string deck = Replace(good, prefix, replacement);
        DeckResult r = ReadDeck(deck);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorCard, card) << r.errorText;
        // The cards echoed, then the error naming the card; the product's
        // parser sees a rejection.
        const std::string listing = RunContin(deck);
        const size_t guide = listing.find("CHECK USERS GUIDE"), begin = listing.rfind('\n', guide) + 1;
        ASSERT_NE(guide, std::string::npos);
        const std::string errorLine = listing.substr(begin, listing.find('\n', guide) - begin);
        EXPECT_NE(errorLine.find("ERROR"), std::string::npos) << errorLine;
        EXPECT_NE(errorLine.find(card), std::string::npos) << errorLine;
        EXPECT_LT(listing.find(" LAST      0    1.00000E+00"), begin);
        using fluvena::ContinListing;
        EXPECT_EQ(fluvena::ParseContinListing(NormalizedText(listing), 20, 30).status, ContinListing::Status::Rejected);
        EXPECT_EQ(listing.find("ORDINATES LISTED ARE FIT VALUES"), std::string::npos);
        EXPECT_EQ(listing.find("PROB1 TO REJECT"), std::string::npos);
    }
}

// The bound on the number of points, with every point given: 8192 are read,
// 8193 refused by the NY card.
TEST(ContinDeck, TakesAtMost8192Points) {
    EXPECT_TRUE(ReadDeck(SmallDeck(8192)).ok);
    const DeckResult r = ReadDeck(SmallDeck(8193));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorCard, "NY") << r.errorText;
}

// Card values in any Fortran form, and the NY card with its number wherever
// it begins after the name (a number starting in column 8 once lost its
// first digit without a word).
TEST(ContinDeck, ReadsCardValuesAndTheNumberOfPoints) {
    struct C { const char *what, *prefix, *card; double gmin, gmax; bool signal; };
    const C cases[] = {
        {"D exponent", " GMNMX     1", " GMNMX     1       1.5D-01", 0.15, 1000, false},
        {"lower-case d, no point", " GMNMX     2", " GMNMX     2         2d+03", 0.1, 2000, false},
        {"NY from column 8", " NY", " NY    20", 0.1, 1000, false},
        {"NY right after the name", " NY", " NY20", 0.1, 1000, false},
        {"NY far out, with a point", " NY", " NY                 20.", 0.1, 1000, false},
        {"signal-weighted regularizer", " NINTT", " SIGREG                  1.", 0.1, 1000, true},
        {"classic regularizer asked for", " NINTT", " SIGREG                  0.", 0.1, 1000, false},
    };
    for (const C& c : cases) {
        SCOPED_TRACE(c.what);
        DeckResult r = ReadDeck(Replace(SmallDeck(20), c.prefix, c.card));
        ASSERT_TRUE(r.ok) << r.errorCard << ": " << r.errorText;
        EXPECT_EQ(r.deck.t.size(), 20u);
        EXPECT_DOUBLE_EQ(r.deck.gmnmx[0], c.gmin);
        EXPECT_DOUBLE_EQ(r.deck.gmnmx[1], c.gmax);
        EXPECT_EQ(r.deck.signalRegularizer, c.signal);
    }
}

// Weights read with the data (IWT 4, one a point after the ordinates, as
// the product writes them for g2 data): points of weight next to zero do not
// move the solution, equal weights of any size change nothing, and a weight
// that is not a positive number is refused.
TEST(ContinDeck, WeightsReadWithTheDataWeighTheFit) {
    const auto t = LogSpaced(1, 1000, 60);
    const auto clean = Decays(t, {{30, 1.0}}, 1e-3, 5);
    auto spoilt = clean;
    for (size_t k = 45; k < spoilt.size(); ++k) spoilt[k] += 0.05;  // a false slow decay
    auto deck = [&](const std::vector<double>& y, const std::vector<double>& w) {
        return fluvena::FileText(fluvena::BuildContinDeck(fluvena::ContinRequest{0.1, 1000, 30}, t, y, 1.0, w));
    };
    auto chosen = [](const std::string& text) {
        Result r;
        RunContin(text, &r);
        EXPECT_FALSE(r.solutions.empty());
        return r.solutions.empty() ? Solution{} : r.solutions[static_cast<size_t>(r.chosen)];
    };
    std::vector<double> down(t.size(), 1.0), equal(t.size(), 7.0);
    for (size_t k = 45; k < down.size(); ++k) down[k] = 1e-7;
    const Solution plain = chosen(deck(clean, {})), same = chosen(deck(clean, equal));
    ASSERT_EQ(plain.s.size(), same.s.size());
    for (size_t m = 0; m < plain.s.size(); ++m) EXPECT_NEAR(same.s[m], plain.s[m], 1e-6 * (1 + std::fabs(plain.s[m])));
    // The spoilt points move the unweighted solution's mean decay time
    // (M1/M0 of the whole) only.
    const Solution unweighted = chosen(deck(spoilt, {})), weighted = chosen(deck(spoilt, down));
    EXPECT_GT(std::fabs(unweighted.entire.ratio[2] / 30.0 - 1.0), 0.05) << unweighted.entire.ratio[2];
    EXPECT_NEAR(weighted.entire.ratio[2], 30.0, 0.3) << weighted.entire.ratio[2];
    EXPECT_NEAR(weighted.entire.m[1], plain.entire.m[1], 0.01);
    // The fit is printed in the data's units, not the weighted ones.
    EXPECT_NEAR(weighted.fit[0], clean[0], 0.01);

    down[3] = 0.0;
    const DeckResult bad = ReadDeck(deck(spoilt, down));
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.errorCard, "IWT");
}

// Fields as their width, skips as minus theirs, a new record as 0; no
// items for a format that is refused.
TEST(ContinDeck, FortranFormats) {
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"(F30.10)", {30}}, {"(5E15.6)", {15, 15, 15, 15, 15}}, {" ( 2 ( 1X , F10.3 ) , / ) ", {-1, 10, -1, 10, 0}},
        {"(1P3G12.4E2)", {12, 12, 12}}, {"(D20.8,2X)", {20, -2}}, {"(F10)", {10}},
        {"(E15)", {}}, {"(Q5.1)", {}}, {"F10.3", {}}, {"(F10.3", {}}, {"(3X)", {}}, {"(0F10.3)", {}},
        {"(99999(99999F10.3))", {}}, {"((((((F1.0))))))", {}}, {"()", {}},
    };
    for (const auto& [text, want] : cases) {
        std::vector<FormatItem> items;
        const bool ok = ParseFortranFormat(text, items);
        EXPECT_EQ(ok, !want.empty()) << text;
        std::vector<int> widths;
        for (const auto& it : items)
            widths.push_back(it.kind == FormatItem::Field ? it.width : it.kind == FormatItem::Skip ? -it.width : 0);
        if (ok) {
            EXPECT_EQ(widths, want) << text;
        }
    }
}

TEST(ContinDeck, SplitsPeaksWhereTheSolutionRisesAgain) {
    struct P { std::vector<double> s; std::vector<std::pair<int, int>> peaks; };
    const P cases[] = {
        {{0, 0, 0}, {}},
        {{0, 1, 2, 1, 0}, {{0, 4}}},
        {{0, 1, 3, 1, 0, 0, 0, 2, 4, 0}, {{0, 6}, {7, 9}}},  // the zeros stay with the peak before them
        {{1, 3, 2, 1, 2, 5, 1}, {{0, 3}, {4, 6}}},
        {{1, 3, 1, 1, 1, 4, 0}, {{0, 4}, {5, 6}}},           // and so does a flat bottom
        {{3, 3, 3, 3}, {{0, 3}}},
        {{0, 2, 0, 2, 0, 2, 0}, {{0, 2}, {3, 4}, {5, 6}}},
        {{1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}, {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {8, 11}}},  // five at most
        {{0, 1, 0, 1e-7, 0}, {{0, 4}}},                      // rounding noise is no peak
        {{0, 1, 0, 1e-6, 0}, {{0, 2}, {3, 4}}},
    };
    for (const P& c : cases) EXPECT_EQ(SplitPeaks(c.s), c.peaks);
}

}  // namespace
