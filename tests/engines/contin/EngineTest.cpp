// The bundled CONTIN engine: the deck reader (cards, Fortran formats and
// numbers, rejections ending in a listing line naming the card and "CHECK
// USERS GUIDE"); the listings read back by the product's parser to their
// printed precision, and against the reference program's listings at every
// ALPHA/S(1) it printed; the chosen solution on seeded synthetic data.
#include "ContinEngine.h"
#include "Synthetic.h"
#include "contin/ContinDeck.h"
#include "contin/ContinListing.h"
#include "base/MemoText.h"
#include "../../TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace fluvena::contin;
using fluvena::NormalizedText;
using fluvena::testing::ReadFixture;

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
// 8193 refused by the NY card (an NY of 8193 over 20 values is refused for
// the values missing).
TEST(ContinDeck, TakesAtMost8192Points) {
    EXPECT_TRUE(ReadDeck(SmallDeck(8192)).ok);
    EXPECT_EQ(ReadDeck(SmallDeck(8193)).errorCard, "NY");
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
    EXPECT_EQ(ReadDeck(deck(spoilt, down)).errorCard, "IWT");
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

// v printed with `digits` significant digits reads back within half a unit
// of the last digit (one digit fewer for negative values: the sign's column).
void ExpectPrinted(double read, double v, int digits, const std::string& what) {
    if (v < 0) --digits;
    EXPECT_NEAR(read, v, 0.5 * std::pow(10.0, 1 - digits) * std::fabs(v) * 1.0001 + 1e-99) << what;
}

void ExpectPrinted(const std::vector<double>& read, const std::vector<double>& v, int digits, const std::string& what) {
    ASSERT_EQ(read.size(), v.size()) << what;
    for (size_t j = 0; j < v.size(); ++j) ExpectPrinted(read[j], v[j], digits, what + " " + std::to_string(j));
}

// decays: false for data in which nothing decays, whose solutions are zero
// everywhere and have no peak tables.
void CheckProductParser(const std::string& deckText, const std::string& label, bool decays = true) {
    SCOPED_TRACE(label);
    DeckResult dr = ReadDeck(deckText);
    ASSERT_TRUE(dr.ok) << dr.errorText;
    Result r;
    const std::string lf = RunContin(deckText, &r);
    EXPECT_EQ(lf.find('\r'), std::string::npos);
    const std::size_t ny = dr.deck.t.size(), ng = std::size_t(dr.deck.ng);
    fluvena::ContinListing parse = fluvena::ParseContinListing(NormalizedText(lf), ny, ng);
    ASSERT_EQ(parse.status, fluvena::ContinListing::Status::Ok) << parse.reason;
    ASSERT_EQ(parse.solutions.size(), r.solutions.size());
    ASSERT_FALSE(r.solutions.empty());
    for (size_t i = 0; i < r.solutions.size(); ++i) {
        SCOPED_TRACE("solution " + std::to_string(i));
        const Solution& s = r.solutions[i];
        const fluvena::ContinSolution& q = parse.solutions[i];
        EXPECT_NEAR(q.prob1ToReject, s.prob1, 0.0005 + 1e-12);
        ASSERT_EQ(s.s.size(), ng);
        ExpectPrinted(q.distY, s.s, 4, "ordinate");
        ExpectPrinted(q.distErr, s.sErr, 2, "error");
        ExpectPrinted(q.distX, r.g, 3, "abscissa");
        EXPECT_EQ(s.peaks.empty(), !decays);
        EXPECT_TRUE(!dr.deck.dousnq || *std::min_element(s.s.begin(), s.s.end()) >= 0.0);  // the constraint
        ASSERT_EQ(q.peaks.size(), s.peaks.size());
        for (size_t p = 0; p < s.peaks.size(); ++p) {
            const Moments& m = s.peaks[p];
            ExpectPrinted(q.peaks[p].intensity, m.m[1], 5, "intensity");
            ExpectPrinted(q.peaks[p].intensityErr, m.mErr[1], 2, "intensity error");
            ExpectPrinted(q.peaks[p].position, m.ratio[2], 5, "position");
            ExpectPrinted(q.peaks[p].positionErr, m.ratioErr[2], 2, "position error");
            ExpectPrinted(q.peaks[p].width, m.sdOverMean, 2, "width");
        }
        ASSERT_EQ(s.fit.size(), ny);
        ExpectPrinted(q.fitY, s.fit, 4, "fit");
        ExpectPrinted(q.fitX, dr.deck.t, 3, "fit abscissa");
    }
    // The parser's chosen solution is the engine's, or a later one printed
    // with the very same line of values (the last match wins).
    ASSERT_GE(parse.chosen, size_t(r.chosen));
    ASSERT_LT(parse.chosen, parse.solutions.size());
    EXPECT_EQ(parse.solutions[parse.chosen].prob1ToReject, parse.solutions[size_t(r.chosen)].prob1ToReject);
}

// The recorded decks, and grids and point counts of other sizes; data in
// which nothing decays (constant, zero, upside down). Decks that are unusual
// but meaningful: every order of the regularizer (also with fewer zero
// points than the order), no baseline, no constraint, the smallest sizes.
TEST(ContinListing, ProductParserReadsBackWhatTheEngineComputed) {
    CheckProductParser(ReadFixture("bimodal.contin.in"), "bimodal");
    CheckProductParser(ReadFixture("lognormal.contin.in"), "lognormal");
    auto t = LogSpaced(1, 1e4, 60);
    CheckProductParser(ProductDeck(t, Decays(t, {{50, 1.0}}, 1e-3, 21), 0.1, 1e3, 40), "one component");
    CheckProductParser(ProductDeck(t, Decays(t, {{10, 0.6}, {200, 0.4}}, 1e-3, 25), 0.1, 1e3, 100, true),
                       "signal-weighted regularizer");
    CheckProductParser(ProductDeck(t, std::vector<double>(t.size(), 0.5), 0.1, 1e3, 50), "constant", false);
    CheckProductParser(ProductDeck(t, std::vector<double>(t.size(), 0.0), 0.1, 1e3, 50), "zero", false);
    CheckProductParser(ProductDeck(t, Decays(t, {{50, -1.0}}, 1e-3, 31), 0.1, 1e3, 50), "upside down", false);
    auto t2 = LogSpaced(0.5, 5e3, 150);
    CheckProductParser(ProductDeck(t2, LogNormalDecay(t2, std::log(30.0), 0.4, 1e-2, 24), 0.1, 1e3, 120), "log-normal");

    const std::string decay = ProductDeck(t, Decays(t, {{30, 1.0}}, 1e-3, 3), 0.1, 1e3, 15);
    for (int order = 0; order <= 5; ++order)
        CheckProductParser(WithCards(decay, " NORDER                  " + std::to_string(order) + ".\r\n"),
                           "order " + std::to_string(order));
    const std::string noBaseline = " NLINF                   0.\r\n";
    CheckProductParser(WithCards(decay, " NENDZ     1             0.\r\n NENDZ     2             0.\r\n"), "no zeros");
    CheckProductParser(WithCards(decay, " DOUSNQ                 -1.\r\n" + noBaseline), "unconstrained");
    CheckProductParser(ProductDeck({1, 2, 3}, {0.9, 0.8, 0.7}, 0.1, 1e3, 2), "three points, two grid points");
    CheckProductParser(WithCards(ProductDeck({-3, -2, -1, 0}, {1, 2, 3, 4}, 0.1, 1e3, 5), noBaseline), "negative t");
}

// One line of a listing's table under "ALPHA  ALPHA/S(1) ...".
struct AlphaRow { double ratio = 0, variance = 0, degFreedom = 0, prob1 = 0, prob2 = 0; };

// Every solution's row, in the order printed, then that of the final
// printout of the chosen solution, which repeats one of them.
std::vector<AlphaRow> AlphaRows(const std::string& listing) {
    std::vector<AlphaRow> rows;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);)
        if (line.find("ALPHA/S(1)     OBJ. FCTN.") != std::string::npos && std::getline(in, line)) {
            std::istringstream f(line.substr(3));
            double alpha, objective, stdDev;
            AlphaRow r;
            f >> alpha >> r.ratio >> objective >> r.variance >> stdDev >> r.degFreedom >> r.prob1 >> r.prob2;
            rows.push_back(r);
        }
    return rows;
}

// The recorded listings; own: whether the engine's own reference solution
// is the listing's. The reference program takes the first coarse alpha whose
// constrained step ends within its iteration bound; at 1.49E-15 that step
// ends within a few percent of the bound, so rounding decides it, and for
// two listings the engine decides the other way (then one coarse step apart).
struct FidelityCase { const char* name; bool own; };
const FidelityCase kListings[] = {{"bimodal", true},   {"lognormal", false}, {"narrow", true},
                                  {"negbase", true},   {"pairbase", false},  {"closepair", true},
                                  {"onesize", true},   {"twosizes", true},   {"recomputed", true}};

// With the listing's own reference solution every printed figure agrees,
// which pins the alpha scale, the quadrature, the constraints and the
// statistics. With the engine's own, the first solution stands at the
// listing's ALPHA/S(1) with its DEG FREEDOM, and the solution whose PROB1
// lies nearest 0.5 is the one the listing chose.
TEST(ContinFidelity, EverySolutionAgreesWithTheReferenceListing) {
    for (const auto& [name, sameReference] : kListings) {
        SCOPED_TRACE(name);
        const auto dr = ReadDeck(ReadFixture(std::string(name) + ".contin.in"));
        ASSERT_TRUE(dr.ok) << dr.errorText;
        const std::string listing = ReadFixture(std::string(name) + ".contin.out");
        std::vector<AlphaRow> rows = AlphaRows(listing);
        const fluvena::ContinListing parse =
            fluvena::ParseContinListing(NormalizedText(listing), dr.deck.t.size(), size_t(dr.deck.ng));
        ASSERT_GE(rows.size(), 2u);
        // The final printout's ALPHA/S(1) names the chosen solution (the
        // product's parser refuses a final printout that repeats no line of
        // values exactly, as in the recomputed listing).
        const double finalRatio = rows.back().ratio;
        rows.pop_back();
        size_t chosen = rows.size();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].ratio == finalRatio) chosen = i;
        ASSERT_LT(chosen, rows.size());
        std::vector<double> ratios;  // ALPHA/S(1) of every row
        for (const AlphaRow& r : rows) ratios.push_back(r.ratio);
        const Result ours = SolveAt(dr.deck, ratios, rows[0].ratio);
        const Result own = SolveAt(dr.deck, ratios);
        ASSERT_EQ(ours.solutions.size(), rows.size() + 1);
        ASSERT_EQ(own.solutions.size(), rows.size() + 1);
        const Solution& first = own.solutions[0];
        if (sameReference) {
            // Printed with three significant digits and three decimals.
            EXPECT_NEAR(first.alphaRatio / rows[0].ratio, 1.0, 0.006);
            EXPECT_NEAR(first.degFreedom, rows[0].degFreedom, 0.003);
            size_t nearest = 0;
            for (size_t i = 0; i < rows.size(); ++i)
                if (std::fabs(rows[i].prob1 - 0.5) < std::fabs(rows[nearest].prob1 - 0.5)) nearest = i;
            if (nearest == chosen) {
                EXPECT_EQ(size_t(own.chosen), chosen + 1);
            }
        } else {
            EXPECT_LE(std::fabs(std::log(first.alphaRatio / rows[0].ratio)), 4.4);
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            const AlphaRow& want = rows[i];
            const Solution& got = ours.solutions[i + 1];
            SCOPED_TRACE("ALPHA/S(1) " + std::to_string(want.ratio));
            EXPECT_NEAR(own.solutions[i + 1].prob1, want.prob1, sameReference ? 0.005 : 0.02);
            EXPECT_NEAR(got.degFreedom, want.degFreedom, 0.1);
            EXPECT_NEAR(got.variance / want.variance, 1.0, 0.01);
            EXPECT_NEAR(got.prob1, want.prob1, 0.02);
            EXPECT_NEAR(got.prob2, want.prob2, 0.02);
            // Near the precision of the arithmetic (the first coarse alpha)
            // the distribution at the grid's ends is not fixed by the data
            // and differs between any two implementations; its sums are.
            if (want.ratio < 1e-14) continue;
            if (i >= parse.solutions.size()) continue;
            for (const auto& peak : parse.solutions[i].peaks) {
                if (peak.intensity < 0.1) continue;
                bool found = false;
                for (const auto& p : got.peaks)
                    found = found || (std::fabs(p.ratio[2] / peak.position - 1.0) <= 0.003 &&
                                      std::fabs(p.m[1] - peak.intensity) <= 0.003);
                EXPECT_TRUE(found) << "reference peak at " << peak.position << " of " << peak.intensity;
            }
        }
    }
}

// At 0.01 % and 0.1 % noise the classic regularizer within what it reaches
// (above), the signal-weighted one within 2 % and 0.02 everywhere. At 1 %
// close pairs merge, which is what the data allow; the total intensity stays.
TEST(ContinQuality, ChosenSolutionFindsTheComponents) {
    for (bool signal : {false, true})
        for (const QualityCase& c : kQualityCases)
            for (const auto& [noise, seed] : {std::pair{1e-4, 1u}, std::pair{1e-3, 2u}, std::pair{1e-2, 3u}}) {
                if (signal && noise > 5e-3) continue;
                const Result r = RunCase(c, noise, seed, signal);
                SCOPED_TRACE(std::string(signal ? "signal " : "classic ") + c.name + " noise " + std::to_string(noise));
                ASSERT_GE(r.solutions.size(), 10u);
                EXPECT_LE(r.solutions.size(), 12u);
                const Solution& s = r.solutions[size_t(r.chosen)];
                const Tolerance tol = signal ? Tolerance{} : noise > 5e-4 ? c.atMilli : c.atTenthMilli;
                const Score sc = Evaluate(s, c.Truth(), tol);
                SCOPED_TRACE(sc.report);
                if (noise > 5e-3) {
                    EXPECT_NEAR(s.entire.m[1], 1.0, 0.1);
                    continue;
                }
                EXPECT_TRUE(sc.allFound);
                EXPECT_LT(sc.spurious, 0.05);
            }
}

}  // namespace
