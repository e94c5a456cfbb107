// The DISCRETE deck the product writes and the listing reader, against the
// reference program's decks and listings.
#include "discrete/DiscreteDeck.h"
#include "discrete/DiscreteListing.h"

#include "../TestData.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <tuple>

using namespace fluvena;
namespace FT = fluvena::testing;
using fluvena::testing::LoadFixture;
using fluvena::testing::ReadFixture;
using Status = DiscreteListing::Status;

namespace {

std::string Listing(const std::string& name) { return NormalizedText(ReadFixture(name)); }

auto Fields(const Component& c) { return std::tuple(c.amplitude, c.amplitudeErr, c.rate, c.rateErr); }

// A solution as printed: the error columns are the PERCENT ones.
struct Printed { std::vector<Component> components; double baseline, punc; };

void ExpectSolution(const DiscreteSolution& r, const Printed& p, const io::DataFile& data, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(r.components.size(), p.components.size());
    for (std::size_t j = 0; j < p.components.size(); ++j)
        EXPECT_EQ(Fields(r.components[j]), Fields(p.components[j])) << j;
    EXPECT_EQ(std::pair(r.baseline, r.punc), std::pair(p.baseline, p.punc));
    ASSERT_EQ(r.fitY.size(), data.x.size());
    for (std::size_t k = 0; k < data.x.size(); ++k) {
        double y = p.baseline;
        for (const Component& c : p.components) y += c.amplitude * std::exp(-data.x[k] * c.rate);
        EXPECT_EQ(std::tuple(r.fitX[k], r.fitY[k], r.residual[k]), std::tuple(data.x[k], y, data.y[k] - y)) << k;
    }
}

// Listings laid out like DISCRETE's: a row's value windows start at offsets
// 0, 21, 37, 58 of the row's third column, the sign one column before.
// Values as the sign column and 9 characters, e.g. " 3.991E-01" or "-4.214E-04".
struct Row { const char *amplitude, *amplitudeErr, *rate, *rateErr; bool exact = false; };

std::string Line(const Row& c)
{
    char buf[200];
    std::snprintf(buf, sizeof buf, " *%10s +- 1.0E-03 %8s       %10s +- 1.0E-04 %8s *         4.990E-03", c.amplitude,
                  c.amplitudeErr, c.rate, c.rateErr);
    std::string row = buf;
    if (c.exact) row += " (NO EXACT FIT TO THE TRANSFORMS FOUND)";
    return row + "\r\n";
}

// One solution of the summary; `tail` ends its heading line, `comparison`
// stands as a line of its block.
std::string Solution(const char* count, const std::vector<Row>& rows, const char* baseline, const char* punc,
                     const std::string& tail = "", const std::string& comparison = "")
{
    std::string s = "                                     BEST SOLUTION           " + std::string(count) + " COMPONENTS" +
                    tail + "\r\n\r\n";
    s += " **********************************************************************\r\n";
    std::string header = " *     ALPHA +- STD ERR  PERCENT           LAMBDA +- STD ERR  PERCENT *   STARTING LAMBDA";
    header.resize(126, ' ');
    s += header + "\r\n";
    for (const auto& c : rows) s += Line(c);
    s += Line({baseline, "25.734", " 0.000E+00", "0.000"});
    s += " **********************************************************************\r\n" + comparison + "\r\n";
    s += " PROB. RESIDUALS UNCORRELATED    0.008    0.240    0.184    0.001    0.941    WEIGHTED AVERAGE = * PUNC =" +
         std::string(punc) + " *\r\n";
    const std::string rule = " " + std::string(131, '=') + "\r\n";
    return s + rule + rule;
}

const std::string kTitle = "1DISCRETE - Version 2B (December 1990)          nazwa.in\r\n\r\n";

DiscreteListing Parse(const std::string& text, const io::DataFile& data) { return ParseDiscreteListing(text, data.x, data.y); }

}  // namespace

// The decks the reference program was run with, byte for byte, but for the
// ordinates the earlier reader cut to eight characters: those lines now carry
// the value whole.
TEST(DiscreteDeck, ReferenceDecks)
{
    struct Case { const char* name; std::size_t cut; };
    for (const Case& c : {Case{"bimodal", 11}, Case{"lognormal", 10}, Case{"narrow", 8}, Case{"negbase", 1}, Case{"pairbase", 0}}) {
        const io::DataFile data = LoadFixture(std::string(c.name) + ".txt");
        const auto deck = BuildDiscreteDeck(DiscreteRequest{}, data.x, data.y);
        const auto reference = SplitLines(ReadFixture(std::string(c.name) + ".discrete.in"));
        ASSERT_EQ(deck.size(), reference.size()) << c.name;
        std::size_t differ = 0;
        for (std::size_t i = 0; i < deck.size(); ++i) {
            if (deck[i] == reference[i]) continue;
            ++differ;
            EXPECT_GE(i, 3 + data.x.size()) << c.name << " line " << i;  // an ordinate
            const double a = std::stod(deck[i]), b = std::stod(reference[i]);
            // The cut digit (the sixth decimal) and one unit of the three printed.
            EXPECT_NEAR(a, b, 1.01e-5 + 0.0101 * std::fabs(b)) << c.name << " line " << i;
        }
        EXPECT_EQ(differ, c.cut) << c.name;
    }
}

TEST(DiscreteDeck, SwitchCardAndDataLines)
{
    DiscreteSwitches all, lastOff = kDefaultSwitches;
    all.fill(true);
    lastOff[kLast] = false;
    struct Case { DiscreteRequest request; const char* card; };
    const Case cases[] = {
        {{6, 2, 5, kDefaultSwitches}, "TFFTFFTTF  6  2  5"}, {{6, 2, 5, all}, "TTTTTTTTT  6  2  5"},
        {{6, 2, 5, lastOff}, "FFFTFFTTF  6  2  5"},      {{12, -1, 15, kDefaultSwitches}, "TFFTFFTTF  12  -1  15"},
    };
    for (const auto& c : cases) {
        const std::vector<double> x{1000.0, 0.00012345, 0.0}, y{-0.5, 1.0, 1e-300};
        EXPECT_EQ(BuildDiscreteDeck(c.request, x, y),
                  (std::vector<std::string>{"nazwa.in", c.card, "3", "1.00E+03", "1.23E-04", "0.00E+00", "-5.00E-01",
                                            "1.00E+00", "1.00E-300"}));
    }
}

TEST(DiscreteListing, FieldsRowsAndCounts)
{
    const io::DataFile data = FT::Points({0.0, 1.0, 10.0}, {1.0, 0.5, 0.25});
    // A '-' before a window negates it; a window holding its own sign is not
    // negated twice. EXACT on the second row only: the first is 91 long. A
    // two-digit count yields its last digit.
    const std::string text =
        kTitle + kTitle +
        Solution("2", {{"-1.500E-01", "12.500", "-2.000E-03", "3.000"}, {" 2.500E-01", "1.000", " 4.000E+00", "2.000", true}},
                 "--3.00E-04", "-0.125", "   (3 SOLUTIONS LISTED)") +
        Solution("12", {{" 1.000E-01", "1.000", " 1.000E+00", "1.000", true}, {" 2.000E-01", "2.000", " 0.000E+00", "2.000"}},
                 " 3.000E-04", " 0.100") +
        Solution("0", {}, " 5.000E-02", " 0.200");
    const DiscreteListing p = Parse(text, data);
    ASSERT_EQ(p.status, Status::Ok) << p.reason;
    ASSERT_EQ(p.solutions.size(), 3u);
    ExpectSolution(p.solutions[0], {{{-0.15, 12.5, -2.0E-3, 3.0}, {0.25, 1.0, 4.0, 2.0}}, -3.0E-4, -0.125}, data, "signs");
    ExpectSolution(p.solutions[1], {{{0.1, 1.0, 1.0, 1.0}, {0.2, 2.0, 0.0, 2.0}}, 3.0E-4, 0.1}, data, "12 components");
    ExpectSolution(p.solutions[2], {{}, 0.05, 0.2}, data, "none");
}

namespace {

// Solutions of `count` components each, in that order.
// `note` (a line after the best solution's heading) the note to look at the
// second best solution.
std::string Summary(const std::vector<const char*>& counts, const std::string& bestTail, const std::string& comparison,
                    bool note)
{
    std::string text = kTitle + kTitle;
    for (std::size_t s = 0; s < counts.size(); ++s) {
        std::vector<Row> rows(static_cast<std::size_t>(std::atoi(counts[s])), Row{" 1.000E-01", "1.000", " 1.000E+00", "1.000"});
        text += Solution(counts[s], rows, " 0.000E+00", " 0.100", s == 0 ? bestTail : "", s == 0 ? comparison : "");
    }
    if (note)
        text.insert(text.find(" COMPONENTS") + 13,
                    " ++++++ NOTE - THE APPROX. PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY 0.822.\r\n");
    return text;
}

}  // namespace

TEST(DiscreteListing, UncertaintySentenceCountsOnlyAfterTheSecondTitle)
{
    const io::DataFile data = FT::Points({0.0, 1.0}, {1.0, 0.5});
    const std::string sentence = " NOTE - THE APPROX. PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY 0.8\r\n";
    const std::string body = Summary({"1", "2"}, "", "", false).substr(2 * kTitle.size());
    EXPECT_FALSE(Parse(kTitle + sentence + kTitle + body, data).uncertain);
    const DiscreteListing after = Parse(kTitle + kTitle + "++++" + sentence + body, data);
    EXPECT_TRUE(after.uncertain);
    EXPECT_EQ(after.uncertainReason, "NOTE - THE APPROX. PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY 0.8");
}

// A summary holds every solution when it lists as many as its best
// solution's heading states; where it states none (the reference program),
// when it lists the counts 1 ... n once each and, if the best solution names
// a second best one (its PNG(a/b) with a other than b, or the note), two at
// least.
TEST(DiscreteListing, SummaryHoldsEverySolution)
{
    const io::DataFile data = FT::Points({0.0, 1.0}, {1.0, 0.5});
    struct Case { std::vector<const char*> counts; std::string tail, comparison; bool whole, note = false; };
    const Case cases[] = {
        {{"2", "3", "1"}, "", " * PNG(3/2) = 0.993 *", true}, {{"2", "3"}, "", " * PNG(3/2) = 0.993 *", false},
        {{"2"}, "", " * PNG(1/2) = 1.000 *", false},     {{"1"}, "", " * PNG(1/1) = 1.000 *", true},
        {{"1"}, "", " * PNG(2/1) = 0.700 *", false},     {{"1", "2"}, "", " * PNG(2/1) = 0.700 *", true},
        {{"4", "3", "2", "1"}, "", "", true},  {{"4", "3", "2"}, "", "", false},  {{"2", "1", "1"}, "", "", false},
        {{"2", "1", "4"}, "   (3 SOLUTIONS LISTED)", "", true}, {{"2", "1"}, "   (3 SOLUTIONS LISTED)", "", false},
        {{"2", "1"}, "   (1 SOLUTIONS LISTED)", "", false}, {{"2", "1", "4"}, "", "", false},
        {{"1"}, "", "", false, true},  // the note asks for a second best solution
        {{"1", "2"}, "", "", true, true},
    };
    for (const Case& c : cases) {
        const DiscreteListing p = Parse(Summary(c.counts, c.tail, c.comparison, c.note), data);
        EXPECT_EQ(p.status, c.whole ? Status::Ok : Status::Incomplete) << c.counts.size() << c.tail << c.comparison;
        EXPECT_EQ(p.solutions.size(), c.whole ? c.counts.size() : 0u);
    }
}

// A deck DISCRETE refused; what it prints in place of a result, as its
// reason (with the line naming the cause before it and the lines that
// explain it after it; a page heading or a line cut short is no reason); a
// listing that breaks off.
TEST(DiscreteListing, RejectedNoSolutionOrIncomplete)
{
    const io::DataFile data = FT::Points({0.0, 1.0}, {1.0, 0.5});
    struct Case { std::string text; Status status; const char* reason; };
    const std::string one = Solution("1", {{" 1.000E-01", "1.000", " 1.000E+00", "1.000"}}, " 0.000E+00", " 0.100");
    std::string unclosed = kTitle + kTitle + one;
    unclosed.resize(unclosed.rfind(" ====") - 1);
    const Case cases[] = {
        {"1DISCRETE\r\n TFFTFFTTX  6  2  5\r\n0ERRONEOUS CARD IMAGE - SWITCH 9 (REPEAT) IS NOT T OR F\r\n"
         " THIS DATA SET CANNOT BE ANALYSED - NO SOLUTION IS GIVEN.\r\n",
         Status::Rejected, "TFFTFFTTX  6  2  5\nERRONEOUS CARD IMAGE - SWITCH 9 (REPEAT) IS NOT T OR F"},
        {kTitle + kTitle + " NO MEANINGFUL SOLUTION WAS FOUND:\r\n   1 COMPONENT(S): AMPLITUDE 1 IS NEGATIVE\r\n"
                           "   2 COMPONENT(S): RATE 2 AT THE LIMIT OF THE RANGE\r\n\r\n LATER TEXT\r\n",
         Status::NoSolution,
         "NO MEANINGFUL SOLUTION WAS FOUND:\n1 COMPONENT(S): AMPLITUDE 1 IS NEGATIVE\n2 COMPONENT(S): RATE 2 AT THE LIMIT OF THE RANGE"},
        {kTitle + "\r\n0NY =    1 IS TOO SMALL\r\n\r\n THIS DATA SET CANNOT BE ANALYSED\r\n", Status::NoSolution,
         "NY =    1 IS TOO SMALL\nTHIS DATA SET CANNOT BE ANALYSED"},
        {kTitle + " ERROR - ALL ABSCISSAE ARE EQUAL: NO DECAY CAN BE FITTED. NO SOLUTION IS GIVEN.\r\n", Status::NoSolution,
         "ERROR - ALL ABSCISSAE ARE EQUAL: NO DECAY CAN BE FITTED. NO SOLUTION IS GIVEN."},
        {kTitle + " ERROR - THE ANALYSIS WAS ABANDONED (OUT OF MEMORY OR A NUMERICAL FAULT).", Status::NoSolution,
         "ERROR - THE ANALYSIS WAS ABANDONED (OUT OF MEMORY OR A NUMERICAL FAULT)."},
        {kTitle + kTitle + "\r\n0 ***** ITERATIONS DIVERGED. *****\r\n", Status::NoSolution, "ITERATIONS DIVERGED."},
        {kTitle + kTitle + "\r\n0 ITERATIONS DIVERGED.", Status::Incomplete, "the listing holds no component table"},
        {kTitle + kTitle + "\r\n                                     BEST SOLUTION            2 COMPONENTS\r\n\r\n", Status::Incomplete,
         "the listing holds no component table"},
        {"no table here", Status::Incomplete, "the listing holds no component table"},
        {kTitle + kTitle + one + "\r\n WEIGHTED AVERAGE\r\n", Status::Incomplete, "the summary breaks off in solution 1 of 2"},
        {unclosed, Status::Incomplete, "the summary breaks off in solution 0 of 1"},
    };
    for (const auto& c : cases) {
        const DiscreteListing p = Parse(c.text, data);
        EXPECT_EQ(p.status, c.status) << c.reason;
        EXPECT_EQ(p.reason, c.reason);
        EXPECT_TRUE(p.solutions.empty());
    }
}

// Every DISCRETE listing of the reference program is read whole (bimodal's
// solutions and lognormal's third as printed, with their fits over the data;
// whether it doubts its best solution), and every cut of it is refused: at
// every line boundary, one character either side of it, and (in the summary)
// at every character.
TEST(DiscreteListing, ReferenceListingsWholeEveryCutRefused)
{
    struct Case { const char* name; std::size_t solutions; bool uncertain; };
    const Case listings[] = {{"bimodal", 3, false}, {"closepair", 2, false}, {"lognormal", 4, true},  {"narrow", 3, true},
                             {"negbase", 1, false}, {"onesize", 1, false},   {"pairbase", 3, true},   {"recomputed", 4, false},
                             {"twosizes", 2, false}};
    for (const auto& [name, solutions, uncertain] : listings) {
        SCOPED_TRACE(name);
        const std::string text = Listing(std::string(name) + ".discrete.out");
        const DiscreteListing full = ParseDiscreteListing(text, {}, {});
        ASSERT_EQ(full.status, Status::Ok) << full.reason;
        EXPECT_EQ(full.solutions.size(), solutions);
        EXPECT_EQ(full.uncertain, uncertain);
        const std::size_t summary = text.find("1DISCRETE", 10);
        for (std::size_t len = 0; len < text.size(); ++len) {
            const bool boundary = text[len] == '\n' || (len > 0 && text[len - 1] == '\n') || text[len + 1] == '\n';
            if (len < summary && !boundary) continue;
            const std::string cut = text.substr(0, len);
            const DiscreteListing p = ParseDiscreteListing(cut, {}, {});
            ASSERT_EQ(p.status, Status::Incomplete) << len << " of " << text.size() << ": " << p.reason;
            EXPECT_TRUE(p.solutions.empty());
        }
    }
    const io::DataFile bimodal = LoadFixture("bimodal.txt");
    const DiscreteListing b = Parse(Listing("bimodal.discrete.out"), bimodal);
    ASSERT_EQ(b.solutions.size(), 3u) << b.reason;
    ExpectSolution(b.solutions[0], {{{3.991E-01, 0.913, 4.961E-03, 1.088}, {6.008E-01, 0.930, 9.945E-02, 2.238}}, -4.214E-04, 0.166},
                   bimodal, "best");
    ExpectSolution(b.solutions[1], {{{3.042E-01, 273.616, 4.668E-03, 37.445}, {9.849E-02, 839.955, 6.376E-03, 157.944},
                                     {5.982E-01, 1.297, 1.005E-01, 2.941}}, -4.506E-04, 0.173}, bimodal, "second best, EXACT rows");
    ExpectSolution(b.solutions[2], {{{7.211E-01, 3.107, 1.140E-02, 7.308}}, 4.635E-04, -0.0}, bimodal, "third");
    EXPECT_TRUE(std::signbit(b.solutions[2].punc));  // "PUNC =-0.000"
    const io::DataFile lognormal = LoadFixture("lognormal.txt");
    const DiscreteListing l = Parse(Listing("lognormal.discrete.out"), lognormal);
    ASSERT_EQ(l.solutions.size(), 4u) << l.reason;
    EXPECT_EQ(l.uncertainReason, "NOTE - THE APPROX. PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY 0.822. "
                                 "LOOK AT SECOND BEST SOLUTION ALSO.");
    ExpectSolution(l.solutions[2], {{{3.409E-01, 8.431, 1.051E-02, 3.242}, {6.555E-01, 4.286, 2.738E-02, 3.178}}, -1.524E-05, 0.446},
                   lognormal, "third");
}
