#include "ContinListing.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "common/ListingGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

namespace fluvena {

namespace {

using namespace listing::contin;

// Raised when a field or a marker that a read depends on lies beyond the
// listing: the solution being read is incomplete.
struct Broken {};

// Positions are kept as 64-bit numbers so that adding an offset never wraps
// back into the text; a position past the end stays past the end.
class Listing {
public:
    explicit Listing(std::string_view text) : text_(text) {}

    // The next occurrence of a marker at or after pos, -1 when there is none.
    // The last answer per marker is remembered: it still holds for any later
    // start up to the occurrence found (or for any later start when there was
    // none), so a listing full of markers without their partners is not
    // scanned to its end once per solution.
    std::int64_t Find(std::string_view marker, std::int64_t pos) const
    {
        if (pos < 0 || pos > static_cast<std::int64_t>(text_.size())) return -1;
        Memo* memo = nullptr;
        for (Memo& m : memos_) {
            if (m.marker == marker.data() || m.marker == nullptr) {
                memo = &m;
                break;
            }
        }
        if (memo != nullptr && memo->marker != nullptr && memo->from <= pos && (memo->at < 0 || memo->at >= pos))
            return memo->at;
        const Pos found = FindFrom(marker, text_, static_cast<Pos>(pos));
        const std::int64_t at = found == kNotFound ? -1 : static_cast<std::int64_t>(found);
        if (memo != nullptr) *memo = Memo{marker.data(), pos, at};
        return at;
    }

    // A marker whose position a read is taken from: a missing one breaks the
    // solution instead of sending the reads to the start of the text.
    std::int64_t Require(std::string_view marker, std::int64_t pos) const
    {
        const std::int64_t at = Find(marker, pos);
        if (at < 0) throw Broken{};
        return at;
    }

    // The number in the field of `width` characters at pos (fewer when the
    // text ends first). A field starting beyond the end cannot be read.
    double Field(std::int64_t pos, std::int64_t width) const
    {
        if (pos < 0 || pos > static_cast<std::int64_t>(text_.size())) throw Broken{};
        try {
            return NumberAt(text_, static_cast<Pos>(pos), static_cast<Pos>(width));
        } catch (const OutOfRange&) {
            throw Broken{};
        }
    }

    // The field f at the anchor.
    double Read(std::int64_t anchor, listing::Field f) const { return Field(anchor + f.offset, f.width); }

    // A peak's intensity: mantissa and exponent of ten are printed apart.
    double Intensity(std::int64_t row) const
    {
        return Read(row, kIntensityMantissa) * std::pow(10.0, Read(row, kIntensityExponent));
    }

    std::size_t Size() const { return text_.size(); }

private:
    struct Memo {
        const char* marker = nullptr;  // the marker constant this answer is for
        std::int64_t from = 0;
        std::int64_t at = -1;
    };
    std::string_view text_;
    mutable Memo memos_[8];
};

// How many rows of a table the rest of the text can hold at most: a bound
// for reserving, so that a huge row count on a short text allocates nothing.
std::size_t RowsToReserve(std::size_t rows, std::size_t textSize)
{
    return std::min(rows, textSize / static_cast<std::size_t>(kRow) + 1);
}

// The number of peaks from the distance between the first moment table and
// the line that closes the solution's peak analysis: 679 characters for one
// peak, 2145 for two and 732 more for every further peak. A missing closing
// line (-1) gives a negative distance and no peaks.
std::int32_t PeakCount(std::int64_t momentAt, std::int64_t alphaAt)
{
    const std::int64_t d = alphaAt - momentAt;
    if (d == kOnePeak) return 1;
    const std::int64_t count = (d - kTwoPeaks) / kPerFurtherPeak + 2;  // truncates toward zero
    return count < 0 ? 0 : static_cast<std::int32_t>(count);
}

// The line of values under the heading that holds "PROB1 TO REJECT" at p:
// ALPHA ... PROB2 TO REJECT of one solution. The final printout repeats the
// chosen solution's line exactly.
std::string_view ValuesLine(std::string_view text, std::int64_t p)
{
    const std::size_t from = text.find('\n', static_cast<std::size_t>(p));
    if (from == std::string_view::npos) throw Broken{};
    const std::size_t to = text.find('\n', from + 1);
    if (to == std::string_view::npos) throw Broken{};
    return text.substr(from + 1, to - from - 1);
}

// A figure that only adds to what the listing gives (never one a result
// depends on): a positive number, or nothing where the field is blank, not
// a number or beyond the text.
std::optional<double> Positive(const Listing& in, std::int64_t anchor, listing::Field f)
{
    try {
        const double v = in.Read(anchor, f);
        if (std::isfinite(v) && v > 0.0) return v;
    } catch (const Broken&) {
    }
    return std::nullopt;
}

// The figures of a moment table read from its M(0) row at `row`.
ContinPeak ReadMoments(const Listing& in, std::int64_t row)
{
    ContinPeak peak;
    peak.intensity = in.Intensity(row);
    peak.intensityErr = in.Read(row, kIntensityErr);
    peak.position = in.Read(row, kPosition);
    peak.positionErr = in.Read(row, kPositionErr);
    peak.width = in.Read(row, kWidth);
    peak.harmonicPosition = Positive(in, row, kHarmonic);
    if (peak.harmonicPosition) {
        const std::optional<double> err = Positive(in, row, kHarmonicErr);
        peak.harmonicPositionErr = err.value_or(0.0);
    }
    return peak;
}

// Reads one solution from cursor c on; returns it with c moved past it.
ContinSolution ReadSolution(const Listing& in, std::int64_t& c, std::size_t fitRows, std::size_t gridRows)
{
    ContinSolution s;
    const std::int64_t p = in.Require(kProb1, c);
    s.prob1ToReject = in.Read(p, kProb1Value);

    c = p + kFirstDistributionRow;
    const std::size_t rows = RowsToReserve(gridRows, in.Size());
    s.distX.reserve(rows);
    s.distY.reserve(rows);
    s.distErr.reserve(rows);
    for (std::size_t j = 0; j < gridRows; ++j) {
        s.distY.push_back(in.Read(c, kDistY));
        s.distErr.push_back(in.Read(c, kDistErr));
        s.distX.push_back(in.Read(c, kDistX));
        c += kRow;
    }

    // A solution that is zero everywhere prints no peak table. When no
    // "MOMENT(J)" follows at all, such a solution has no peaks.
    const std::int64_t momentAt = in.Find(kMoment, c);
    const std::int32_t peaks = momentAt < 0 ? 0 : PeakCount(momentAt, in.Find(kPeaksEnd, c));
    for (std::int32_t k = 0; k < peaks; ++k) {
        const std::int64_t at = in.Require(kMoment, c);
        c = at + kMomentRow;
        ContinPeak peak = ReadMoments(in, c);
        peak.from = Positive(in, at, kPeakFrom);
        peak.to = Positive(in, at, kPeakTo);
        s.peaks.push_back(peak);
    }
    // Two peaks or more: the moments of the entire solution follow them.
    if (peaks == 1) {
        s.entire = s.peaks.front();
        s.entire->from.reset();
        s.entire->to.reset();
    } else if (peaks >= 2) {
        const std::int64_t at = in.Find(kMoment, c);
        const std::int64_t end = in.Find(kPeaksEnd, c);
        if (at >= 0 && (end < 0 || at < end)) {
            try {
                s.entire = ReadMoments(in, at + kMomentRow);
            } catch (const Broken&) {
            }
        }
    }

    if (fitRows > 0) {
        c = in.Require(kPlot, c) + kFirstFitRow;
        const std::size_t reserve = RowsToReserve(fitRows, in.Size());
        s.fitX.reserve(reserve);
        s.fitY.reserve(reserve);
        for (std::size_t m = 0; m < fitRows; ++m) {
            s.fitY.push_back(in.Read(c, kFitY));
            s.fitX.push_back(in.Read(c, kFitX));
            c += kRow;
        }
    } else {
        c = in.Require(kPlot, c) + kFirstFitRow;
    }
    return s;
}

// A number as the listing prints it, with one unit in its last printed
// digit: "1.59716E-05" is 1.59716e-5 to within 1e-10, "5.350" is 5.35 to
// within 0.001. A Fortran D exponent counts as E.
struct Printed {
    double value = 0.0;
    double unit = 0.0;
};

std::optional<Printed> ReadPrinted(std::string_view token)
{
    std::string s(token);
    for (char& ch : s)
        if (ch == 'D' || ch == 'd') ch = 'E';
    const std::size_t e = s.find_first_of("Ee");
    const std::string_view mantissa = std::string_view(s).substr(0, e);
    int exponent = 0;
    if (e != std::string::npos) {
        const char* from = s.data() + e + 1;
        if (*from == '+') ++from;
        const auto [end, ec] = std::from_chars(from, s.data() + s.size(), exponent);
        if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    }
    const std::size_t point = mantissa.find('.');
    const auto decimals = static_cast<int>(point == std::string_view::npos ? 0 : mantissa.size() - point - 1);
    const char* first = mantissa.data();
    if (!mantissa.empty() && mantissa.front() == '+') ++first;
    double m = 0.0;
    const auto [end, ec] = std::from_chars(first, mantissa.data() + mantissa.size(), m);
    if (ec != std::errc{} || end != mantissa.data() + mantissa.size()) return std::nullopt;
    return Printed{m * std::pow(10.0, exponent), std::pow(10.0, exponent - decimals)};
}

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (true) {
        i = line.find_first_not_of(" \r\t", i);
        if (i == std::string_view::npos) return words;
        const std::size_t j = std::min(line.find_first_of(" \r\t", i), line.size());
        words.push_back(line.substr(i, j - i));
        i = j;
    }
}

// Whether the final printout's line of values repeats a solution's line. The
// program computes the final printout once more, so a number may come out
// one unit apart in its last printed digit; any other difference (a word, a
// number further apart, a missing field) means another solution.
bool Repeats(std::string_view solution, std::string_view final)
{
    const std::vector<std::string_view> a = Words(solution), b = Words(final);
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k] == b[k]) continue;
        const std::optional<Printed> x = ReadPrinted(a[k]), y = ReadPrinted(b[k]);
        if (!x || !y) return false;
        // Rounding the same value twice differs by at most one unit; the
        // small margin keeps the decimal units' binary error out.
        if (!(std::abs(x->value - y->value) <= std::max(x->unit, y->unit) * (1.0 + 1e-9))) return false;
    }
    return true;
}

// The final printout of the chosen solution read to its end: the rows of its
// distribution table, then the moment table of each of its peaks and, for
// several peaks, of the entire solution. The last table ends the listing: its
// rows J = 0 ... 3 stand whole, line ends included. Throws Broken when any of
// it is missing.
void ReadFinalPrintout(const Listing& in, std::string_view text, std::int64_t prob1, std::size_t gridRows,
                       std::size_t peaks)
{
    std::int64_t c = prob1 + kFirstDistributionRow;
    for (std::size_t j = 0; j < gridRows; ++j) {
        in.Read(c, kDistY);
        in.Read(c, kDistX);
        c += kRow;
    }
    if (c > static_cast<std::int64_t>(text.size())) throw Broken{};
    const std::size_t tables = peaks + (peaks >= 2 ? 1 : 0);
    for (std::size_t k = 0; k < tables; ++k) {
        c = in.Require(kMoment, c) + kMomentRow;
        in.Read(c, kIntensityMantissa);
    }
    if (tables == 0) return;
    auto end = static_cast<std::size_t>(c);
    for (int row = 0; row < 4; ++row) {
        end = text.find('\n', end);
        if (end == std::string_view::npos) throw Broken{};
        ++end;
    }
}

ContinListing Incomplete(std::string reason)
{
    ContinListing result;
    result.status = ContinListing::Status::Incomplete;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

ContinListing ParseContinListing(std::string_view text, std::size_t fitRows, std::size_t gridRows)
{
    // Positions are 32-bit: a text beyond their reach is read up to it.
    if (text.size() >= kNotFound) text = text.substr(0, kNotFound - 1);
    if (const Pos at = FindFrom(kRejected, text, 0); at != kNotFound) {
        ContinListing result;
        result.status = ContinListing::Status::Rejected;
        result.reason = LinesAround(text, at);
        return result;
    }

    // Every solution ends with a fit table, and so does the final printout of
    // the chosen one, which is not a solution of its own.
    std::size_t tables = 0;
    for (Pos p = FindFrom(kFitTable, text, 1); p != kNotFound; p = FindFrom(kFitTable, text, p + 1)) ++tables;
    if (tables < 2) return Incomplete("the listing holds no complete solution");
    const std::size_t count = tables - 1;

    const Listing in(text);
    ContinListing result;
    std::vector<std::string_view> values;
    std::int64_t c = 0;
    result.solutions.reserve(count);
    values.reserve(count);
    try {
        for (std::size_t i = 0; i < count; ++i) {
            values.push_back(ValuesLine(text, in.Require(kProb1, c)));
            result.solutions.push_back(ReadSolution(in, c, fitRows, gridRows));
        }
    } catch (const Broken&) {
        return Incomplete("the listing breaks off in solution " + std::to_string(result.solutions.size()) + " of " +
                          std::to_string(count));
    }

    // A whole listing ends with the final printout of the chosen solution,
    // which repeats that solution's line of values: the last solution it
    // repeats exactly, else the last it repeats to within the last digit.
    std::int64_t finalAt = -1;
    try {
        finalAt = in.Require(kProb1, in.Require(kFinalHeading, c));
        const std::string_view chosen = ValuesLine(text, finalAt);
        std::optional<std::size_t> exact, near;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] == chosen) exact = i;
            else if (Repeats(values[i], chosen)) near = i;
        }
        if (!exact && !near) return Incomplete("the final printout of the chosen solution repeats none of the solutions");
        result.chosen = exact ? *exact : *near;
    } catch (const Broken&) {
        return Incomplete("the final printout of the chosen solution is missing");
    }
    try {
        ReadFinalPrintout(in, text, finalAt, gridRows, result.solutions[result.chosen].peaks.size());
    } catch (const Broken&) {
        return Incomplete("the final printout of the chosen solution breaks off");
    }
    return result;
}

}  // namespace fluvena
