// The CONTIN deck the product writes and the listing reader, against the
// reference program's decks and listings.
#include "contin/ContinDeck.h"
#include "contin/ContinListing.h"

#include "../TestData.h"
#include "base/MemoText.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace fluvena;
using fluvena::testing::LoadFixture;
using fluvena::testing::ReadFixture;
using Status = ContinListing::Status;

namespace {

// The decks the reference program was run with; cutOrdinates: deck lines
// written from a value the earlier reader cut.
struct Deck { const char* name; ContinRequest grid; std::size_t cutOrdinates; };
const Deck kDecks[] = {
    {"bimodal", {0.1, 1000, 100}, 7}, {"lognormal", {0.1, 1000, 100}, 7}, {"narrow", {1, 10000, 100}, 4},
    {"negbase", {1, 2000, 80}, 14},   {"pairbase", {0.5, 5000, 100}, 0},
};

std::string Listing(const std::string& name) { return NormalizedText(ReadFixture(name)); }

// NY and NG as the deck gives them to the program.
std::pair<std::size_t, std::size_t> DeckSizes(const std::string& name)
{
    const std::string deck = ReadFixture(name + ".contin.in");
    const auto number = [&](const char* card) {
        return static_cast<std::size_t>(std::stod(deck.substr(deck.find(card) + 4, 30)));
    };
    return {number("\n NY"), number("\n NG")};
}

// Each field of a peak to four units in the last place (the reader scales a
// printed mantissa by its printed power of ten); the optional ones where given.
void ExpectPeak(const ContinPeak& p, const ContinPeak& e, std::size_t k = 0)
{
    for (double ContinPeak::*f : {&ContinPeak::intensity, &ContinPeak::intensityErr, &ContinPeak::position,
                                  &ContinPeak::positionErr, &ContinPeak::width})
        EXPECT_DOUBLE_EQ(p.*f, e.*f) << "peak " << k;
    for (std::optional<double> ContinPeak::*f :
         {&ContinPeak::harmonicPosition, &ContinPeak::harmonicPositionErr, &ContinPeak::from, &ContinPeak::to})
        if (e.*f) {
            EXPECT_DOUBLE_EQ((p.*f).value_or(NAN), *(e.*f)) << "peak " << k;
        }
}

}  // namespace

// The decks the reference program was run with, byte for byte, but for the
// ordinates the earlier reader cut to eight characters ("-0.002457" read as
// -0.00245): those lines now carry the value whole, one unit of the fifth
// decimal apart.
TEST(ContinDeck, ReferenceDecks)
{
    for (const Deck& r : kDecks) {
        const io::DataFile data = LoadFixture(std::string(r.name) + ".txt");
        ASSERT_EQ(data.x.size(), DeckSizes(r.name).first) << r.name;
        const auto deck = BuildContinDeck(r.grid, data.x, data.y, ContinTimeScale(data.x));
        const auto reference = SplitLines(ReadFixture(std::string(r.name) + ".contin.in"));
        ASSERT_EQ(deck.size(), reference.size()) << r.name;
        std::size_t differ = 0;
        for (std::size_t i = 0; i < deck.size(); ++i) {
            if (deck[i] == reference[i]) continue;
            ++differ;
            EXPECT_GE(i, 27 + data.x.size()) << r.name << " line " << i;  // an ordinate
            EXPECT_NEAR(std::stod(deck[i]), std::stod(reference[i]), 1.5e-5) << r.name << " line " << i;
        }
        EXPECT_EQ(differ, r.cutOrdinates) << r.name;
    }
}

// Lag times below 0.01 would keep one digit or none at five decimals: the
// deck carries them, with the grid, in a unit 1000^k smaller (the deck in that
// unit is pinned through the measurement).
TEST(ContinDeck, ShortTimesInASmallerUnit)
{
    struct Case { std::vector<double> x; double scale; };
    const Case cases[] = {
        {{0.01, 5}, 1},          {{0.00999, 5}, 1e3},      {{0.0, -1.0, 0.02}, 1},   {{2.5e-5, 1}, 1e6},
        {{1e-9, 1e-3}, 1e9},     {{0.0, 0.0}, 1},          {{-5e-6, 0.5}, 1},        {{1e-3, 3e-4}, 1e6},
    };
    for (const auto& c : cases) EXPECT_EQ(ContinTimeScale(c.x), c.scale) << c.x[0];
}

// Every complete listing of the reference program is read whole: its tables
// at their sizes, the chosen solution being the one its final printout
// repeats (for `recomputed`, whose final printout was computed again, to
// within the last printed digit), with its PROB1 and peaks as printed. A
// cut of any of them is refused wherever it falls.
TEST(ContinListing, ReferenceListingsWholeEveryCutRefused)
{
    // A chosen solution or PROB1 of -1 is not pinned; the peaks as printed.
    struct Case { const char* name; std::size_t solutions; std::int64_t chosen; double chosenProb1;
                  std::vector<ContinPeak> chosenPeaks; };
    const Case cases[] = {
        {"bimodal", 11, 7, 0.5,
         {{7.1761e-2, 53, 0.23010, 110, 0.28, 0.21181, 100, 0.1, 7.925},
          {6.0019e-1, 0.10, 10.067, 0.40, 0.085, 9.9969, 0.37, 8.698, 170.7},
          {3.9955e-1, 0.14, 200.19, 0.30, 0.042, 199.83, 0.54, 187.4, 1000}}},
        {"lognormal", 12, 9, 0.163, {{1.7237e-3, 58, 0.53032, 130, 0.47}, {9.9961e-1, 0.025, 56.542, 0.21, 0.53}}},
        {"narrow", 12, 11, 0.463, {}},  {"negbase", 9, 3, 0.904, {}},   {"pairbase", 11, 7, 0.695, {}},
        {"recomputed", 12, 9, -1, {}},  {"closepair", 11, -1, -1, {}},  {"onesize", 12, -1, -1, {}},
        {"twosizes", 11, -1, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [points, grid] = DeckSizes(c.name);
        const std::string text = Listing(std::string(c.name) + ".contin.out");
        const ContinListing full = ParseContinListing(text, points, grid);
        ASSERT_EQ(full.status, Status::Ok) << full.reason;
        ASSERT_EQ(full.solutions.size(), c.solutions);
        EXPECT_TRUE(c.chosen < 0 || full.chosen == static_cast<std::size_t>(c.chosen)) << full.chosen;
        const ContinSolution& s = full.solutions[full.chosen];
        EXPECT_EQ(std::pair(s.fitX.size(), s.distY.size()), std::pair(points, grid));
        EXPECT_TRUE(c.chosenProb1 < 0 || s.prob1ToReject == c.chosenProb1) << s.prob1ToReject;
        ASSERT_TRUE(c.chosenPeaks.empty() || s.peaks.size() == c.chosenPeaks.size()) << s.peaks.size();
        for (std::size_t k = 0; k < c.chosenPeaks.size(); ++k) ExpectPeak(s.peaks[k], c.chosenPeaks[k], k);
        // Every line boundary of the final printout, and for `recomputed` of
        // the whole listing and one character before each line end of its
        // final printout; 40 cuts spread over the rest.
        const std::size_t final = text.rfind("MAR 1984");
        const bool every = c.name == std::string("recomputed");
        const std::size_t from = every ? 0 : final;
        std::vector<std::size_t> cuts;
        for (std::size_t len = 1; len < from; len += from / 40) cuts.push_back(len);
        for (std::size_t at = text.find('\n', from); at != std::string::npos; at = text.find('\n', at + 1)) {
            cuts.push_back(at + 1);
            if (every && at > final) cuts.push_back(at - 1);
        }
        for (const std::size_t len : cuts) {
            if (len >= text.size()) continue;
            const std::string cut = text.substr(0, len);  // own buffer: ASan sees reads past it
            const ContinListing p = ParseContinListing(cut, points, grid);
            ASSERT_EQ(p.status, Status::Incomplete) << len << " of " << text.size();
            EXPECT_TRUE(p.solutions.empty()) << len;
            EXPECT_FALSE(p.reason.empty()) << len;
        }
    }
    // Tables longer than the listing break the reading off.
    const std::string text = Listing("pairbase.contin.out");
    for (auto [fit, grid] : {std::pair{100000, 100}, std::pair{100, 100000}})
        EXPECT_EQ(ParseContinListing(text, fit, grid).status, Status::Incomplete) << fit << " " << grid;
}

// The moments of the entire solution are printed apart for several peaks
// (bimodal); for one peak (narrow) they are that peak's. For the log-normal
// of decay times (median 50, sigma 0.5 in ln tau) the mean rate's time
// M(0)/M(-1) is 50 exp(-sigma^2 / 2) = 44.12.
TEST(ContinListing, MomentsOfTheEntireSolutionAndTheMeanRate)
{
    const auto chosen = [](const char* name, std::size_t points) {
        const ContinListing p = ParseContinListing(Listing(std::string(name) + ".contin.out"), points, 100);
        EXPECT_EQ(p.status, Status::Ok) << p.reason;
        return p.solutions.empty() ? ContinSolution{} : p.solutions[p.chosen];
    };
    const ContinSolution s = chosen("bimodal", 100), l = chosen("lognormal", 80), n = chosen("narrow", 100);
    ASSERT_TRUE(s.entire && n.entire);
    EXPECT_DOUBLE_EQ(s.entire->intensity, 1.0715);
    EXPECT_DOUBLE_EQ(s.entire->harmonicPosition.value_or(NAN), 2.6732);
    ASSERT_EQ(std::pair(l.peaks.size(), n.peaks.size()), (std::pair<std::size_t, std::size_t>(2, 1)));
    EXPECT_NEAR(l.peaks[1].harmonicPosition.value_or(NAN) / (50.0 * std::exp(-0.125)), 1.0, 0.01);
    ASSERT_TRUE(n.entire->harmonicPosition);
    EXPECT_EQ(std::pair(n.entire->harmonicPosition, n.entire->position), std::pair(n.peaks[0].harmonicPosition, n.peaks[0].position));
}

// Table rows of the bimodal listing, read at their columns: the ERROR column
// is printed with a D exponent ("6.4D-01").
TEST(ContinListing, TableRows)
{
    const ContinListing p = ParseContinListing(Listing("bimodal.contin.out"), 100, 100);
    ASSERT_EQ(p.status, Status::Ok);
    const std::int32_t peaks[] = {3, 3, 2, 2, 1, 3, 3, 3, 3, 3, 2};
    const double prob1[] = {0.000, 0.647, 1.000, 1.000, 1.000, 0.001, 0.054, 0.500, 0.945, 1.000, 1.000};
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(p.solutions[i].peaks.size(), static_cast<std::size_t>(peaks[i])) << i;
        EXPECT_DOUBLE_EQ(p.solutions[i].prob1ToReject, prob1[i]) << i;
    }
    // Distribution rows (y, error, x), then fit rows (y, x).
    struct Row { bool dist; std::size_t solution, row; double y, err, x; };
    const Row rows[] = {{true, 0, 0, 0.7642, 0.64, 0.1},    {true, 7, 0, 2.564e-2, 0.011, 0.1},
                        {true, 7, 81, 5.135e-3, 0.00049, 187}, {true, 7, 99, 0, 0, 1000},
                        {false, 0, 0, 0.9423, 0, 1.0},       {false, 7, 7, 0.8913, 0, 1.92}, {false, 7, 99, 0, 0, 1e4}};
    for (const Row& r : rows) {
        const ContinSolution& s = p.solutions[r.solution];
        SCOPED_TRACE(::testing::Message() << (r.dist ? "distribution " : "fit ") << r.solution << "/" << r.row);
        EXPECT_DOUBLE_EQ((r.dist ? s.distY : s.fitY)[r.row], r.y);
        EXPECT_NEAR(r.dist ? s.distErr[r.row] : 0.0, r.err, 1e-15);
        EXPECT_DOUBLE_EQ((r.dist ? s.distX : s.fitX)[r.row], r.x);
    }
    EXPECT_DOUBLE_EQ(p.solutions[0].peaks[1].position, 10.041);
}

TEST(ContinListing, RejectionCarriesTheProgramsReason)
{
    const ContinListing bad = ParseContinListing(Listing("badng.contin.out"), 100, 0);
    EXPECT_EQ(bad.status, Status::Rejected);
    EXPECT_TRUE(bad.solutions.empty());
    EXPECT_EQ(bad.reason, "PRECIS = 1.49D-15          SRANGE = 1.00E+35     RANGE = 1.00D+35\n"
                          "ERROR INPUT  2.  (CHECK USERS GUIDE.)");
    // The error text wins over any solutions in the listing.
    const ContinListing mixed =
        ParseContinListing(Listing("bimodal.contin.out") + "\r\n0ERROR (CHECK USERS GUIDE.)\r\n", 100, 100);
    EXPECT_EQ(mixed.status, Status::Rejected);
    EXPECT_EQ(mixed.reason.substr(mixed.reason.find('\n') + 1), "ERROR (CHECK USERS GUIDE.)");
}

namespace {

// A listing written by hand: markers and fields placed at the distances the
// reader takes them from.
class Synthetic {
public:
    void Put(std::size_t pos, std::string_view s)
    {
        if (text.size() < pos + s.size()) text.resize(pos + s.size(), ' ');
        text.replace(pos, s.size(), s);
    }

    // One solution at the end of the text: its heading and line of values
    // (`values` holds PROB1 at the reader's column), one distribution row,
    // `moments` peak tables 732 apart, "FOR ALPHA/S(1)" d after the first
    // (none when d < 0), one fit row.
    void Solution(const std::string& values, std::int64_t d, int moments)
    {
        const std::size_t m = Values(text.size() + 10, values, moments);
        std::size_t end = m + 732 * static_cast<std::size_t>(moments);
        if (d >= 0) {
            Put(m + static_cast<std::size_t>(d), "FOR ALPHA/S(1)");
            end = std::max(end, m + static_cast<std::size_t>(d) + 20);
        }
        const std::size_t p = end + 50;
        Put(p, "0PLOT OF DATA (O) AND FIT TO DATA (X).  ORDINATES LISTED ARE FIT VALUES.");
        Put(p + 103, "9.423E-01  1.00E+00");
        text.resize(p + 103 + 133, ' ');
    }

    // The final printout of the chosen solution, repeating a line of values:
    // its one distribution row, then `moments` moment tables.
    void Final(const std::string& values, int moments)
    {
        const std::size_t b = text.size() + 10;
        Put(b, " ORDINATES LISTED ARE FIT VALUES\r\n1CHOSEN SOLUTION (MAR 1984)\r\n");
        Values(b + 80, values, moments);
    }

    std::string text;

private:
    // The heading, the line of values and one distribution row from b, then
    // `moments` moment tables, each with its rows J = 0 ... 3; returns where
    // the first table starts.
    std::size_t Values(std::size_t b, const std::string& values, int moments)
    {
        Put(b, "PROB1 TO REJECT\r\n");
        Put(b + 17, values);
        Put(b + 17 + 125, "\r\n");
        Put(b + 199, "1.500E-01  2.0D-02  1.00E-01");
        Put(b + 199 + 131, "\r\n");
        const std::size_t m = b + 199 + 133 + 50;
        for (std::size_t at = m; at < m + 732 * static_cast<std::size_t>(moments); at += 732) {
            for (const auto& [offset, field] : {std::pair<std::size_t, const char*>{0, "MOMENT(J)"}, {211, "1.2345"},
                                                {225, "  -3"}, {239, "5.0E+01"}, {386, "2.5000E+01"},
                                                {405, "3.0E-01"}, {454, "4.0E-01"}})
                Put(at + offset, field);
            for (std::size_t row = 1; row <= 4; ++row) Put(at + 211 + 133 * row - 2, "\r\n");
        }
        return m;
    }
};

// A line of values whose PROB1 lands at the reader's column (118 characters into it).
std::string Values(const char* alpha, const char* prob1) { return std::string(alpha) + std::string(111, ' ') + prob1; }

}  // namespace

TEST(ContinListing, PeakCountFromDistance)
{
    struct Case { std::int64_t d; int moments; std::size_t peaks; };
    const Case cases[] = {
        {679, 1, 1}, {2145, 2, 2}, {2876, 3, 2}, {2877, 3, 3}, {2877 + 732, 4, 4},
        {1413, 2, 1}, {682, 1, 1}, {681, 1, 0},  {0, 1, 0},    {-1, 2, 0},  // no closing line: no peaks
    };
    for (const auto& c : cases) {
        Synthetic s;
        s.Solution(Values("1.0E-01", "0.250"), c.d, c.moments);
        s.Final(Values("1.0E-01", "0.250"), static_cast<int>(c.peaks + (c.peaks >= 2 ? 1 : 0)));
        const ContinListing p = ParseContinListing(s.text, 1, 1);
        ASSERT_EQ(p.status, Status::Ok) << c.d << ": " << p.reason;
        const ContinSolution& sol = p.solutions.at(0);
        EXPECT_EQ(sol.peaks.size(), c.peaks) << c.d;
        EXPECT_DOUBLE_EQ(sol.prob1ToReject, 0.25);
        EXPECT_EQ(sol.distErr, std::vector<double>{0.02});
        EXPECT_EQ(sol.fitX, std::vector<double>{1.0});
        if (c.peaks == 0) continue;
        // Mantissa and exponent printed apart: 1.2345 and -3.
        ExpectPeak(sol.peaks[0], {0.0012345, 50, 25, 0.3, 0.4});
    }
}

// The chosen solution is the one whose line of values the final printout
// repeats: exactly (the last one when several do), else to within one unit
// of each number's last printed digit. A final printout repeating none, or
// holding fewer moment tables than the chosen solution's peaks, leaves the
// listing incomplete.
TEST(ContinListing, ChosenSolution)
{
    // Three solutions at ALPHA/S(1) 1.0E-01, 2.0E-01 and a third.
    struct Case { const char *third, *final; int finalMoments; std::int64_t chosen; };
    const Case cases[] = {
        {"3.0E-01", "2.0E-01", 1, 1},  {"2.0E-01", "2.0E-01", 0, 2},  {"3.0E-01", "4.0E-01", 0, -1},
        {"3.0E-01", "2.1E-01", 1, 1},   // computed again: one unit apart
        {"3.0E-01", "1.9E-01", 1, 1},
        {"3.0E-01", "2.2E-01", 1, -1},  // two units: another solution
        {"2.1E-01", "2.0E-01", 1, 1},   // exactly beats a later near one
        {"1.1E-01", "1.1E-01", 0, 2},  {"3.0E-01", "2.0D-01", 1, 1},
        {"3.0E-01", "2.0E-01", 0, -1},  // its peak's table is missing
    };
    for (const auto& c : cases) {
        Synthetic s;
        s.Solution(Values("1.0E-01", "0.100"), 679, 1);
        s.Solution(Values("2.0E-01", "0.100"), 679, 1);
        s.Solution(Values(c.third, "0.100"), -1, 0);  // zero everywhere: no peak table
        s.Final(Values(c.final, "0.100"), c.finalMoments);
        const ContinListing p = ParseContinListing(s.text, 1, 1);
        if (c.chosen < 0) {
            EXPECT_EQ(p.status, Status::Incomplete) << c.final;
            continue;
        }
        ASSERT_EQ(p.status, Status::Ok) << c.final << ": " << p.reason;
        EXPECT_EQ(p.chosen, static_cast<std::size_t>(c.chosen)) << c.final;
        // Its last line's end cut off, the final printout is not whole.
        EXPECT_EQ(ParseContinListing(s.text.substr(0, s.text.size() - 1), 1, 1).status, Status::Incomplete) << c.final;
    }
    Synthetic noFinal;
    noFinal.Solution(Values("1.0E-01", "0.100"), 679, 1);
    noFinal.Put(noFinal.text.size() + 5, "ORDINATES LISTED ARE FIT VALUES");
    EXPECT_EQ(ParseContinListing(noFinal.text, 1, 1).status, Status::Incomplete);
    const std::string marker = "ORDINATES LISTED ARE FIT VALUES";
    EXPECT_EQ(ParseContinListing(" " + marker + std::string(300, ' ') + marker, 0, 0).status, Status::Incomplete);
    EXPECT_EQ(ParseContinListing("", 0, 0).status, Status::Incomplete);
}
