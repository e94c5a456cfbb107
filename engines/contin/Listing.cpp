// The listing: card echo, data, and every solution in fixed columns.
//
// The product reads the listing by markers and fixed distances from them,
// so the lines below are laid out field for field, to the geometry in
// common/ListingGeometry.h that the product's reader uses too.
#include "ContinEngine.h"
#include "common/FortranNumbers.h"
#include "common/ListingGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>

namespace fluvena::contin {

namespace {

// The listing's E fields print magnitudes below 1e-99 as zero (a three-digit
// exponent would not fit).
std::string FormatE(double v, int width, int decimals) {
    return engine::FormatE(v, width, decimals, 'E', engine::Tiny::kZero);
}
using engine::FormatF;

std::string Pad(std::string s, size_t n) {
    if (s.size() < n) s.append(n - s.size(), ' ');
    return s;
}

std::string Int(long v, int width) {
    char buf[32];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
    const int size = static_cast<int>(r.ptr - buf);
    if (size > width) return std::string(static_cast<size_t>(width), '*');
    std::string s(static_cast<size_t>(width - size), ' ');
    s.append(buf, r.ptr);
    return s;
}

namespace geometry = listing::contin;

// Texts the product searches for must not appear in the echoed title.
std::string SafeTitle(std::string title) {
    static constexpr std::string_view kMarkers[] = {geometry::kProb1,    geometry::kMoment,        geometry::kPeaksEnd,
                                                    geometry::kPlot,     geometry::kFitTable,      geometry::kFinalHeading,
                                                    geometry::kRejected};
    for (const std::string_view m : kMarkers) {
        size_t p;
        while ((p = title.find(m)) != std::string::npos)
            for (size_t i = p; i < p + m.size(); ++i)
                title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    }
    return title;
}

class Writer {
public:
    // A listing runs to some hundred kilobytes per deck; room for it is
    // set aside once rather than grown by copying.
    Writer() { out_.reserve(std::size_t{1} << 20); }
    void Line(std::string_view s = {}) {
        out_ += s;
        out_ += '\n';
    }
    std::string& Text() { return out_; }

private:
    std::string out_;
};

// Mantissa (6 characters) and decimal exponent of a moment, as "3.4142" and 0.
void MantissaExponent(double v, std::string& mant, long& exp) {
    exp = 0;
    if (!std::isfinite(v)) {
        mant = "******";
        return;
    }
    if (v == 0.0) {
        mant = "0.0000";
        return;
    }
    const bool neg = v < 0.0;
    double a = std::fabs(v);
    long e = static_cast<long>(std::floor(std::log10(a)));
    double m = a / std::pow(10.0, static_cast<double>(e));
    const int decimals = neg ? 3 : 4;
    const double top = neg ? 9.9995 : 9.99995;
    if (m >= top) {
        m /= 10.0;
        ++e;
    } else if (m < 1.0) {
        m *= 10.0;
        --e;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, neg ? -m : m);
    mant = buf;
    if (mant.size() != 6) mant = "******";
    exp = e;
}

// Appends a plot row of the given width to line.
void AppendPlotRow(std::string& line, int width, double lo, double hi, std::initializer_list<std::pair<double, char>> marks,
                   double bandLo, double bandHi, bool band) {
    const size_t at = line.size();
    line.append(static_cast<size_t>(width), ' ');
    auto col = [&](double v) {
        if (!(hi > lo) || !std::isfinite(v)) return 0;
        double f = (v - lo) / (hi - lo) * (width - 1);
        return static_cast<int>(std::lround(std::clamp(f, 0.0, double(width - 1))));
    };
    if (band) {
        int a = col(bandLo), b = col(bandHi);
        for (int i = a; i <= b; ++i) line[at + static_cast<size_t>(i)] = '.';
    }
    for (auto [v, ch] : marks) {
        char& cell = line[at + static_cast<size_t>(col(v))];
        cell = (cell == 'O' || cell == 'X') && cell != ch ? '*' : ch;
    }
}

constexpr std::string_view kAlphaHeader =
    "      ALPHA    ALPHA/S(1)     OBJ. FCTN.       VARIANCE      STD. DEV.    DEG FREEDOM    PROB1 TO REJECT    "
    "PROB2 TO REJECT";
constexpr std::string_view kMomentHeader =
    "   J         MOMENT(J)        PERCENT ERROR          M(J)/M(J-1)   PERCENT ERROR    J";
constexpr std::string_view kPlotHeader = "0PLOT OF DATA (O) AND FIT TO DATA (X).  ORDINATES LISTED ARE FIT VALUES.";
constexpr std::string_view kFinalHeader = "1CHOSEN SOLUTION  (LISTING FORMAT OF MAR 1984)  ";
// A fit row: 3 blanks, the fit (9), 2 blanks, the abscissa (8), the plot; a
// distribution row: 3 blanks, the ordinate (9), 2, its error (7), 2, the
// abscissa (8), the plot. Both rows are the table row's length.
constexpr int kFitPlotWidth = static_cast<int>(geometry::kRowLength) - 22;
constexpr int kDistributionPlotWidth = static_cast<int>(geometry::kRowLength) - 31;
static_assert(kAlphaHeader.find(geometry::kProb1) != std::string_view::npos);
static_assert(kMomentHeader.find(geometry::kMoment) != std::string_view::npos);
static_assert(kPlotHeader.starts_with(geometry::kPlot) && kPlotHeader.find(geometry::kFitTable) != std::string_view::npos);
static_assert(kFinalHeader.find(geometry::kFinalHeading) != std::string_view::npos);

void MomentBlock(Writer& w, const std::string& left42, const Moments& m) {
    w.Line(Pad(left42, 42).substr(0, 42) + std::string(kMomentHeader));
    for (int J = -1; J <= 3; ++J) {
        const size_t jj = static_cast<size_t>(J + 1);
        std::string left(42, ' ');
        if (J == 2) left = std::string(15, ' ') + "(STD. DEV.)/MEAN =  " + FormatE(m.sdOverMean, 7, 1);
        std::string mant;
        long exp = 0;
        MantissaExponent(m.m[jj], mant, exp);
        std::string line = left + Int(J, 4) + "    " + mant + " X (10**" + Int(exp, 4) + ")" + std::string(9, ' ') +
                           FormatE(m.mErr[jj], 7, 1);
        if (J >= 0)
            line += std::string(11, ' ') + FormatE(m.ratio[jj], 10, 4) + std::string(9, ' ') +
                    FormatE(m.ratioErr[jj], 7, 1) + Int(J, 5);
        w.Line(line);
    }
}

void FitTable(Writer& w, const Deck& d, const Solution& s) {
    w.Line(kPlotHeader);
    w.Line();
    w.Line("    ORDINATE  ABSCISSA");
    double lo = 0.0, hi = 0.0;
    bool first = true;
    for (size_t k = 0; k < d.y.size(); ++k)
        for (double v : {d.y[k], s.fit[k]}) {
            if (!std::isfinite(v)) continue;
            lo = first ? v : std::min(lo, v);
            hi = first ? v : std::max(hi, v);
            first = false;
        }
    std::string line;
    for (size_t k = 0; k < d.y.size(); ++k) {
        line.assign("   ");
        line += FormatE(s.fit[k], 9, 3);
        line += "  ";
        line += FormatE(d.t[k], 8, 2);
        AppendPlotRow(line, kFitPlotWidth, lo, hi, {{d.y[k], 'O'}, {s.fit[k], 'X'}}, 0, 0, false);
        w.Line(line);
    }
}

void SolutionBody(Writer& w, const Deck& d, const Result& r, const Solution& s) {
    w.Line(kAlphaHeader);
    w.Line(std::string(s.reference ? " * " : "   ") + FormatE(s.alpha, 8, 2) + std::string(6, ' ') +
           FormatE(s.alphaRatio, 8, 2) + std::string(4, ' ') + FormatE(s.objective, 11, 5) + std::string(4, ' ') +
           FormatE(s.variance, 11, 5) + std::string(6, ' ') + FormatE(s.stdDev, 9, 3) + FormatF(s.degFreedom, 15, 3) +
           FormatF(s.prob1, 19, 3) + FormatF(s.prob2, 19, 3));
    w.Line();
    w.Line("    ORDINATE    ERROR  ABSCISSA");
    double lo = 0.0, hi = 0.0;
    for (size_t j = 0; j < s.s.size(); ++j) {
        lo = std::min(lo, s.s[j]);
        hi = std::max(hi, s.s[j]);
    }
    std::string line;
    for (size_t j = 0; j < s.s.size(); ++j) {
        line.assign("   ");
        line += FormatE(s.s[j], 9, 3);
        line += "  ";
        line += FormatE(s.sErr[j], 7, 1);
        line += "  ";
        line += FormatE(r.g[j], 8, 2);
        AppendPlotRow(line, kDistributionPlotWidth, lo, hi, {{s.s[j], 'X'}}, s.s[j] - s.sErr[j], s.s[j] + s.sErr[j], true);
        w.Line(line);
    }
    if (d.nlinf) w.Line("0LINEAR COEFFICIENTS = " + FormatE(s.baseline, 12, 4) + " +- " + FormatE(s.baselineErr, 8, 1));
    for (size_t p = 0; p < s.peaks.size(); ++p) {
        const Moments& m = s.peaks[p];
        std::string left = "0PEAK" + Int(static_cast<long>(p + 1), 2) + " GOES FROM " +
                           FormatE(r.g[static_cast<size_t>(m.first)], 10, 3) + " TO " +
                           FormatE(r.g[static_cast<size_t>(m.last)], 10, 3);
        if (left.size() > 42) left.erase(17, left.size() - 42);  // three-digit peak numbers
        MomentBlock(w, left, m);
    }
    if (s.peaks.size() >= 2) {
        w.Line();
        MomentBlock(w, std::string(16, ' ') + "MOMENTS OF ENTIRE SOLUTION", s.entire);
    }
}

// The heading, the title and the echo of the cards as they were read.
void Heading(Writer& w, const std::string& title, const std::vector<std::string>& echo) {
    w.Line(" CONSTRAINED REGULARIZATION OF A LAPLACE-TYPE INVERSION - THE CONTIN METHOD AS BUNDLED WITH FLUVENA");
    w.Line();
    w.Line();
    w.Line("                    INPUT DATA FOR CHANGES TO COMMON VARIABLES");
    w.Line();
    w.Line(" TITLE: " + title);
    w.Line();
    for (const std::string& e : echo) {
        w.Line(e);
        w.Line();
    }
}

// The end of a listing whose deck gives no solution.
void Rejection(Writer& w, const std::string& card, const std::string& text) {
    w.Line("0ERROR IN CARD " + card + ": " + text + "  (" + std::string(geometry::kRejected) + ".)");
    w.Line(" THE DECK IS REJECTED; NO SOLUTION IS COMPUTED.");
}

// The data as read, five pairs to a line, then the singular values of the
// standard form, ten to a line, and the coarse steps the constrained
// solver gave up on.
void DataAndSingularValues(Writer& w, const Deck& d, const Result& r) {
    w.Line("1");
    w.Line("            T            Y            T            Y            T            Y            T            Y"
           "            T            Y");
    for (size_t k = 0; k < d.t.size(); k += 5) {
        std::string line;
        for (size_t i = k; i < std::min(k + 5, d.t.size()); ++i) line += FormatE(d.t[i], 13, 3) + FormatE(d.y[i], 13, 5);
        w.Line(line);
    }
    w.Line();
    w.Line(" SINGULAR VALUES OF THE PROBLEM IN STANDARD FORM");
    for (size_t k = 0; k < r.singularValues.size(); k += 10) {
        std::string line;
        for (size_t i = k; i < std::min(k + 10, r.singularValues.size()); ++i)
            line += FormatE(r.singularValues[i], 13, 3);
        w.Line(line);
    }
    for (double ratio : r.skippedRatios)
        w.Line("0NON-NEGATIVE LEAST SQUARES REACHED ITS STEP LIMIT AT ALPHA/S(1) = " + FormatE(ratio, 8, 2) +
               "; NO SOLUTION THERE.");
}

// Every solution in the order computed: its page, PRUNS and PUNCOR, its fit.
void Solutions(Writer& w, const Deck& d, const Result& r, const std::string& title) {
    for (const Solution& s : r.solutions) {
        w.Line("1");
        w.Line("          " + Pad(title, 80));
        w.Line();
        SolutionBody(w, d, r, s);
        std::string tail =
            "0(FOR ALPHA/S(1) = " + FormatE(s.alphaRatio, 8, 2) + ") PRUNS = " + FormatF(s.pruns, 6, 4) + "         PUNCOR =";
        for (double p : s.puncor) tail += FormatF(p, 8, 4);
        w.Line(tail);
        w.Line();
        w.Line();
        FitTable(w, d, s);
    }
}

// The chosen solution: its fit once more, then the whole solution under
// the final heading.
void Chosen(Writer& w, const Deck& d, const Result& r, const std::string& title) {
    const Solution& c = r.solutions[static_cast<size_t>(r.chosen)];
    w.Line("1" + Pad(" FLUVENA CONTIN ENGINE   " + title, 115) + "CHOSEN SOLUTION");
    w.Line();
    FitTable(w, d, c);
    w.Line(std::string(kFinalHeader) + "++++++++++++++++++++++++++++++++  CHOSEN SOLUTION  "
                                       "++++++++++++++++++++++++++++++++");
    w.Line(" ");
    w.Line("          " + Pad(title, 80));
    w.Line();
    SolutionBody(w, d, r, c);
}

// The listing after the heading: the rejection, or the analysis.
void Body(Writer& w, const DeckResult& dr, const std::string& title, Result* computed) {
    if (!dr.ok) {
        Rejection(w, dr.errorCard, dr.errorText);
        return;
    }
    const Deck& d = dr.deck;
    Result r;
    try {
        r = Solve(d);
        if (computed) *computed = r;
    } catch (const std::runtime_error& e) {
        Rejection(w, "RUSER", e.what());
        return;
    }
    DataAndSingularValues(w, d, r);
    Solutions(w, d, r, title);
    Chosen(w, d, r, title);
}

}  // namespace

std::string RunContin(std::string_view input, Result* computed) {
    Writer w;
    try {
        DeckResult dr = ReadDeck(input);
        const std::string title = SafeTitle(dr.deck.title);
        Heading(w, title, dr.echo);
        Body(w, dr, title, computed);
    } catch (const std::exception& e) {
        w.Line(std::string("0ERROR: THE ANALYSIS COULD NOT BE COMPLETED (") + e.what() + "). NO SOLUTION.");
    } catch (...) {
        w.Line("0ERROR: THE ANALYSIS COULD NOT BE COMPLETED. NO SOLUTION.");
    }
    return w.Text();
}

}  // namespace fluvena::contin
