#include "ContinListing.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "common/ListingGeometry.h"

#include <algorithm>
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
    // which repeats that solution's line of values; the last match wins.
    try {
        const std::string_view chosen = ValuesLine(text, in.Require(kProb1, in.Require(kFinalHeading, c)));
        bool found = false;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] == chosen) {
                result.chosen = i;
                found = true;
            }
        }
        if (!found) return Incomplete("the final printout of the chosen solution repeats none of the solutions");
    } catch (const Broken&) {
        return Incomplete("the final printout of the chosen solution is missing");
    }
    return result;
}

}  // namespace fluvena
