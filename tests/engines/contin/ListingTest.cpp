// Geometry of the listing: an offset reader that takes every number from a
// fixed distance after a marker, as the product does, must read back the
// numbers the engine computed, to the precision they are printed with.
#include "ContinEngine.h"
#include "contin/ContinListing.h"
#include "Files.h"
#include "Synthetic.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

using namespace fluvena::contin;
using contin_test::ReadTestFile;
using contin_test::CrLfText;
using fluvena::FindFrom;
using fluvena::kNotFound;
using fluvena::NumberAt;
using fluvena::Pos;



struct ReadPeak {
    double intensity, intensityErr, position, positionErr, width;
};
struct ReadSolution {
    double prob1 = 0;
    std::vector<double> distY, distErr, distX, fitY, fitX;
    std::vector<ReadPeak> peaks;
    std::vector<Pos> rowStarts;  // every table row read
};
struct ReadListing {
    std::vector<ReadSolution> solutions;
    int chosen = -1;
};

int Count(const std::string& text, const std::string& needle) {
    int k = 0;
    for (Pos p = FindFrom(needle, text, 0); p != kNotFound; p = FindFrom(needle, text, p + 1)) ++k;
    return k;
}

// The product's reading of a listing by markers and fixed offsets.
ReadListing Read(const std::string& text, int ny, int ng) {
    ReadListing out;
    int k = Count(text, "ORDINATES LISTED ARE FIT VALUES");
    int count = k > 1 ? k - 1 : 0;
    Pos c = 0;
    for (int i = 0; i < count; ++i) {
        ReadSolution s;
        Pos P = FindFrom("PROB1 TO REJECT", text, c);
        EXPECT_NE(P, kNotFound);
        if (P == kNotFound) return out;
        s.prob1 = NumberAt(text, P + 135, 5);
        c = P + 199;
        for (int j = 0; j < ng; ++j) {
            s.rowStarts.push_back(c);
            s.distY.push_back(NumberAt(text, c, 9));
            s.distErr.push_back(NumberAt(text, c + 11, 7));
            s.distX.push_back(NumberAt(text, c + 20, 8));
            c += 133;
        }
        Pos M = FindFrom("MOMENT(J)", text, c), A = FindFrom("FOR ALPHA/S(1)", text, c);
        long d = static_cast<long>(A) - static_cast<long>(M);
        long peaks = d == 679 ? 1 : std::max(0L, (d - 2145) / 732 + 2);
        for (long q = 0; q < peaks; ++q) {
            c = FindFrom("MOMENT(J)", text, c) + 211;
            s.peaks.push_back({NumberAt(text, c, 6) * std::pow(10.0, NumberAt(text, c + 14, 4)), NumberAt(text, c + 28, 7),
                               NumberAt(text, c + 175, 10), NumberAt(text, c + 194, 7), NumberAt(text, c + 243, 7)});
        }
        c = FindFrom("0PLOT OF DATA", text, c) + 103;
        for (int m = 0; m < ny; ++m) {
            s.rowStarts.push_back(c);
            s.fitY.push_back(NumberAt(text, c, 9));
            s.fitX.push_back(NumberAt(text, c + 11, 8));
            c += 133;
        }
        out.solutions.push_back(std::move(s));
    }
    Pos C = FindFrom("MAR 1984", text, c);
    Pos B = FindFrom("MOMENT(J)", text, C) + 211;
    double chosen = NumberAt(text, B, 6) * std::pow(10.0, NumberAt(text, B + 14, 4));
    for (size_t i = 0; i < out.solutions.size(); ++i)
        if (!out.solutions[i].peaks.empty() && out.solutions[i].peaks[0].intensity == chosen) out.chosen = int(i);
    return out;
}

// v printed with `digits` significant digits reads back within half a unit
// of the last digit (one digit fewer for negative values, whose sign
// takes a column).
void ExpectPrinted(double read, double v, int digits, const std::string& what) {
    if (v < 0) --digits;  // the sign takes the place of a digit
    double tol = 0.5 * std::pow(10.0, 1 - digits) * std::fabs(v) * 1.0001 + 1e-99;
    EXPECT_NEAR(read, v, tol) << what;
}

void CheckRoundTrip(const std::string& deckText, const std::string& label) {
    SCOPED_TRACE(label);
    DeckResult dr = ReadDeck(deckText);
    ASSERT_TRUE(dr.ok) << dr.errorText;
    Result r;
    const std::string lf = RunContin(deckText, &r);
    const std::string text = CrLfText(lf);
    const int ny = int(dr.deck.t.size()), ng = dr.deck.ng;

    EXPECT_EQ(lf.find('\r'), std::string::npos);
    EXPECT_EQ(text.find("CHECK USERS GUIDE"), std::string::npos);
    EXPECT_EQ(Count(text, "MAR 1984"), 1);
    EXPECT_EQ(Count(text, "ORDINATES LISTED ARE FIT VALUES"), int(r.solutions.size()) + 1);
    EXPECT_GE(r.solutions.size(), 10u);
    EXPECT_LE(r.solutions.size(), 12u);

    ReadListing rl = Read(text, ny, ng);
    ASSERT_EQ(rl.solutions.size(), r.solutions.size());
    for (size_t i = 0; i < r.solutions.size(); ++i) {
        SCOPED_TRACE("solution " + std::to_string(i));
        const Solution& s = r.solutions[i];
        const ReadSolution& q = rl.solutions[i];
        EXPECT_NEAR(q.prob1, s.prob1, 0.0005 + 1e-12);
        // Every table row is a whole line of 131 characters.
        for (Pos p : q.rowStarts) {
            ASSERT_GE(p, 5u);
            EXPECT_EQ(text.substr(p - 5, 2), "\r\n");
            EXPECT_EQ(text.substr(p + 128, 2), "\r\n");
        }
        for (int j = 0; j < ng; ++j) {
            ExpectPrinted(q.distY[size_t(j)], s.s[size_t(j)], 4, "ordinate " + std::to_string(j));
            ExpectPrinted(q.distErr[size_t(j)], s.sErr[size_t(j)], 2, "error " + std::to_string(j));
            ExpectPrinted(q.distX[size_t(j)], r.g[size_t(j)], 3, "abscissa " + std::to_string(j));
        }
        ASSERT_EQ(q.peaks.size(), s.peaks.size());
        for (size_t p = 0; p < s.peaks.size(); ++p) {
            const Moments& m = s.peaks[p];
            ExpectPrinted(q.peaks[p].intensity, m.m[1], 5, "intensity");
            ExpectPrinted(q.peaks[p].intensityErr, m.mErr[1], 2, "intensity error");
            ExpectPrinted(q.peaks[p].position, m.ratio[2], 5, "position");
            ExpectPrinted(q.peaks[p].positionErr, m.ratioErr[2], 2, "position error");
            ExpectPrinted(q.peaks[p].width, m.sdOverMean, 2, "width");
        }
        for (int k = 0; k < ny; ++k) {
            ExpectPrinted(q.fitY[size_t(k)], s.fit[size_t(k)], 4, "fit " + std::to_string(k));
            ExpectPrinted(q.fitX[size_t(k)], dr.deck.t[size_t(k)], 3, "fit abscissa " + std::to_string(k));
        }
    }
    // The chosen solution is found again from the final printout: the
    // engine's choice, or a later solution printed with the same intensity.
    ASSERT_GE(rl.chosen, 0);
    EXPECT_GE(rl.chosen, r.chosen);
    EXPECT_EQ(rl.solutions[size_t(rl.chosen)].peaks[0].intensity, rl.solutions[size_t(r.chosen)].peaks[0].intensity);
}

TEST(ContinListing, FixtureDeckReadsBackThroughTheOffsets) {
    CheckRoundTrip(ReadTestFile("bimodal.contin.in"), "bimodal");
}

TEST(ContinListing, SyntheticDataReadBackThroughTheOffsets) {
    using namespace contin_test;
    auto t = LogSpaced(1, 1e4, 60);
    CheckRoundTrip(ProductDeck(t, Decays(t, {{50, 1.0}}, 1e-3, 11), 0.1, 1e3, 40), "one component");
    CheckRoundTrip(ProductDeck(t, Decays(t, {{3, 0.3}, {40, 0.4}, {600, 0.3}}, 1e-3, 12), 0.1, 1e4, 70), "three");
    auto t2 = LogSpaced(0.5, 5e3, 150);
    CheckRoundTrip(ProductDeck(t2, LogNormalDecay(t2, std::log(30.0), 0.4, 3e-3, 13), 0.1, 1e3, 120), "log-normal");
}

// Round trip through the product's own parser: it reads back from the
// engine's listing the numbers the engine computed.
void CheckProductParser(const std::string& deckText, const std::string& label) {
    SCOPED_TRACE(label);
    DeckResult dr = ReadDeck(deckText);
    ASSERT_TRUE(dr.ok) << dr.errorText;
    Result r;
    const std::string text = CrLfText(RunContin(deckText, &r));
    const int ny = int(dr.deck.t.size()), ng = dr.deck.ng;
    fluvena::ContinListing parse = fluvena::ParseContinListing(text, size_t(ny), size_t(ng));
    ASSERT_EQ(parse.status, fluvena::ContinListing::Status::Ok) << parse.reason;
    ASSERT_EQ(parse.solutions.size(), r.solutions.size());
    for (size_t i = 0; i < r.solutions.size(); ++i) {
        SCOPED_TRACE("solution " + std::to_string(i));
        const Solution& s = r.solutions[i];
        const fluvena::ContinSolution& q = parse.solutions[i];
        EXPECT_NEAR(q.prob1ToReject, s.prob1, 0.0005 + 1e-12);
        ASSERT_EQ(q.distY.size(), size_t(ng));
        for (int j = 0; j < ng; ++j) {
            ExpectPrinted(q.distY[size_t(j)], s.s[size_t(j)], 4, "ordinate " + std::to_string(j));
            ExpectPrinted(q.distErr[size_t(j)], s.sErr[size_t(j)], 2, "error " + std::to_string(j));
            ExpectPrinted(q.distX[size_t(j)], r.g[size_t(j)], 3, "abscissa " + std::to_string(j));
        }
        ASSERT_EQ(q.peaks.size(), s.peaks.size());
        for (size_t p = 0; p < s.peaks.size(); ++p) {
            const Moments& m = s.peaks[p];
            ExpectPrinted(q.peaks[p].intensity, m.m[1], 5, "intensity");
            ExpectPrinted(q.peaks[p].intensityErr, m.mErr[1], 2, "intensity error");
            ExpectPrinted(q.peaks[p].position, m.ratio[2], 5, "position");
            ExpectPrinted(q.peaks[p].positionErr, m.ratioErr[2], 2, "position error");
            ExpectPrinted(q.peaks[p].width, m.sdOverMean, 2, "width");
        }
        ASSERT_EQ(q.fitY.size(), size_t(ny));
        for (int k = 0; k < ny; ++k) {
            ExpectPrinted(q.fitY[size_t(k)], s.fit[size_t(k)], 4, "fit " + std::to_string(k));
            ExpectPrinted(q.fitX[size_t(k)], dr.deck.t[size_t(k)], 3, "fit abscissa " + std::to_string(k));
        }
    }
    // The parser's chosen solution is the engine's, or a later one printed
    // with the very same line of values (the last match wins).
    ASSERT_GE(parse.chosen, size_t(r.chosen));
    ASSERT_LT(parse.chosen, parse.solutions.size());
    EXPECT_EQ(parse.solutions[parse.chosen].prob1ToReject, parse.solutions[size_t(r.chosen)].prob1ToReject);
}

TEST(ContinListing, ProductParserReadsBackWhatTheEngineComputed) {
    using namespace contin_test;
    CheckProductParser(ReadTestFile("bimodal.contin.in"), "bimodal");
    CheckProductParser(ReadTestFile("lognormal.contin.in"), "lognormal");
    auto t = LogSpaced(1, 1e4, 60);
    CheckProductParser(ProductDeck(t, Decays(t, {{50, 1.0}}, 1e-3, 21), 0.1, 1e3, 40), "one component");
    CheckProductParser(ProductDeck(t, Decays(t, {{20, 0.5}, {100, 0.5}}, 1e-4, 22), 0.1, 1e3, 100), "close pair");
    CheckProductParser(ProductDeck(t, Decays(t, {{3, 0.3}, {40, 0.4}, {600, 0.3}}, 3e-3, 23), 0.1, 1e4, 70), "three");
    auto t2 = LogSpaced(0.5, 5e3, 150);
    CheckProductParser(ProductDeck(t2, LogNormalDecay(t2, std::log(30.0), 0.4, 1e-2, 24), 0.1, 1e3, 120), "log-normal");
    std::string signal = ProductDeck(t, Decays(t, {{10, 0.6}, {200, 0.4}}, 1e-3, 25), 0.1, 1e3, 100);
    signal.insert(signal.find(" END"), " SIGREG                  1.\r\n");
    CheckProductParser(signal, "signal-weighted regularizer");
}

TEST(ContinListing, ProductParserSeesRejections) {
    std::string deck = ReadTestFile("badng.contin.in");
    fluvena::ContinListing parse = fluvena::ParseContinListing(CrLfText(RunContin(deck)), 100, 0);
    EXPECT_EQ(parse.status, fluvena::ContinListing::Status::Rejected);
    EXPECT_TRUE(parse.solutions.empty());
}

// Data in which nothing decays (a constant, a signal upside down) give
// solutions that are zero everywhere: no peak tables, and still every
// solution read with its fit.
TEST(ContinListing, DataWithoutADecayGiveSolutionsWithoutPeaks) {
    using namespace contin_test;
    auto t = LogSpaced(1, 1e4, 60);
    const std::vector<double> flat(t.size(), 0.5);
    std::vector<double> inverted = Decays(t, {{50, 1.0}}, 1e-3, 31);
    for (double& v : inverted) v = -v;
    for (const auto& [label, y] : {std::pair{"constant", flat}, std::pair{"upside down", inverted}}) {
        SCOPED_TRACE(label);
        const std::string deck = ProductDeck(t, y, 0.1, 1e3, 50);
        Result r;
        const std::string text = CrLfText(RunContin(deck, &r));
        fluvena::ContinListing parse = fluvena::ParseContinListing(text, t.size(), 50);
        ASSERT_EQ(parse.status, fluvena::ContinListing::Status::Ok) << parse.reason;
        ASSERT_EQ(parse.solutions.size(), r.solutions.size());
        ASSERT_FALSE(r.solutions.empty());
        for (size_t i = 0; i < r.solutions.size(); ++i) {
            EXPECT_TRUE(r.solutions[i].peaks.empty());
            EXPECT_TRUE(parse.solutions[i].peaks.empty());
            ASSERT_EQ(parse.solutions[i].fitY.size(), t.size());
            EXPECT_NEAR(parse.solutions[i].fitY[0], r.solutions[i].fit[0], 1e-3);
        }
        EXPECT_EQ(parse.chosen, size_t(r.chosen));
    }
}

// The reference listing itself is read the same way: this pins the offset
// reader above to the geometry of a real listing.
TEST(ContinListing, OffsetReaderMatchesTheReferenceListing) {
    std::string text = CrLfText(ReadTestFile("bimodal.contin.out"));
    ReadListing rl = Read(text, 100, 100);
    ASSERT_EQ(rl.solutions.size(), 11u);
    EXPECT_DOUBLE_EQ(rl.solutions[0].distY[0], 0.7642);
    EXPECT_DOUBLE_EQ(rl.solutions[0].distX[0], 0.1);
    EXPECT_EQ(rl.solutions[0].peaks.size(), 3u);
    EXPECT_EQ(rl.solutions[4].peaks.size(), 1u);
    EXPECT_EQ(rl.chosen, 7);
    EXPECT_DOUBLE_EQ(rl.solutions[7].prob1, 0.5);
}

}  // namespace
