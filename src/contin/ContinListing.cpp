#include "ContinListing.h"

#include "base/Errors.h"
#include "base/Text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace fluvena {

namespace {

constexpr std::string_view kRejected = "CHECK USERS GUIDE";
constexpr std::string_view kFitTable = "ORDINATES LISTED ARE FIT VALUES";
constexpr std::string_view kProb1 = "PROB1 TO REJECT";
constexpr std::string_view kMoment = "MOMENT(J)";
constexpr std::string_view kAlpha = "FOR ALPHA/S(1)";
constexpr std::string_view kPlot = "0PLOT OF DATA";
constexpr std::string_view kFinalHeading = "MAR 1984";

// Rows of the listing's tables: 131 characters and CR LF.
constexpr std::int64_t kRow = 133;

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
    double Field(std::int64_t pos, Pos width) const
    {
        if (pos < 0 || pos > static_cast<std::int64_t>(text_.size())) throw Broken{};
        try {
            return NumberAt(text_, static_cast<Pos>(pos), width);
        } catch (const OutOfRange&) {
            throw Broken{};
        }
    }

    // A peak's intensity: mantissa and exponent of ten are printed apart.
    double Intensity(std::int64_t pos) const
    {
        const double mantissa = Field(pos, 6);
        const double exponent = Field(pos + 14, 4);
        return mantissa * std::pow(10.0, exponent);
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
std::size_t RowsToReserve(std::int32_t rows, std::size_t textSize)
{
    if (rows <= 0) return 0;
    return std::min(static_cast<std::size_t>(rows), textSize / static_cast<std::size_t>(kRow) + 1);
}

// The number of peaks from the distance between the first moment table and
// the line that closes the solution's peak analysis: 679 characters for one
// peak, 2145 for two and 732 more for every further peak. A missing closing
// line (-1) gives a negative distance and no peaks.
std::int32_t PeakCount(std::int64_t momentAt, std::int64_t alphaAt)
{
    const std::int64_t d = alphaAt - momentAt;
    if (d == 679) return 1;
    const std::int64_t count = (d - 2145) / 732 + 2;  // truncates toward zero
    return count < 0 ? 0 : static_cast<std::int32_t>(count);
}

// Reads one solution from cursor c on; returns it with c moved past it.
ContinSolution ReadSolution(const Listing& in, std::int64_t& c, std::int32_t rangeCount, std::int32_t gridPoints)
{
    ContinSolution s;
    const std::int64_t p = in.Require(kProb1, c);
    s.prob1ToReject = in.Field(p + 135, 5);

    c = p + 199;
    s.distX.reserve(RowsToReserve(gridPoints, in.Size()));
    s.distY.reserve(RowsToReserve(gridPoints, in.Size()));
    s.distErr.reserve(RowsToReserve(gridPoints, in.Size()));
    for (std::int32_t j = 0; j < gridPoints; ++j) {
        s.distY.push_back(in.Field(c, 9));
        s.distErr.push_back(in.Field(c + 11, 7));
        s.distX.push_back(in.Field(c + 20, 8));
        c += kRow;
    }

    // A solution that is zero everywhere prints no peak table. When no
    // "MOMENT(J)" follows at all, such a solution has no peaks (a count
    // taken from position -1 would send the reads to the listing's start
    // and lose every solution of a complete listing).
    const std::int64_t momentAt = in.Find(kMoment, c);
    const std::int32_t peaks = momentAt < 0 ? 0 : PeakCount(momentAt, in.Find(kAlpha, c));
    for (std::int32_t k = 0; k < peaks; ++k) {
        c = in.Require(kMoment, c) + 211;
        s.peakIntensity.push_back(in.Intensity(c));
        s.peakIntensityErr.push_back(in.Field(c + 28, 7));
        s.peakPosition.push_back(in.Field(c + 175, 10));
        s.peakPositionErr.push_back(in.Field(c + 194, 7));
        s.peakWidth.push_back(in.Field(c + 243, 7));
    }
    s.peakCount = peaks;

    if (rangeCount > 0) {
        c = in.Require(kPlot, c) + 103;
        s.fitX.reserve(RowsToReserve(rangeCount, in.Size()));
        s.fitY.reserve(RowsToReserve(rangeCount, in.Size()));
        for (std::int32_t m = 0; m < rangeCount; ++m) {
            s.fitY.push_back(in.Field(c, 9));
            s.fitX.push_back(in.Field(c + 11, 8));
            c += kRow;
        }
    } else {
        // No rows to read; the cursor still moves past the fit table, and
        // without one it moves past the end, never back.
        const std::int64_t plot = in.Find(kPlot, c);
        c = plot < 0 ? static_cast<std::int64_t>(in.Size()) + 1 : plot + 103;
    }
    return s;
}

}  // namespace

ContinParse ParseContinListing(std::string_view text, std::int32_t rangeCount, std::int32_t gridPoints,
                               std::int32_t previousChosen)
{
    ContinParse result;
    result.chosen = previousChosen;
    // Positions are 32-bit: a text beyond their reach is read up to it.
    if (text.size() >= kNotFound) text = text.substr(0, kNotFound - 1);
    if (FindFrom(kRejected, text, 0) != kNotFound) {
        result.status = ContinParse::Status::Rejected;
        return result;
    }

    // Every solution ends with a fit table, and so does the final printout of
    // the chosen one, which is not a solution of its own.
    std::int32_t tables = 0;
    for (Pos p = FindFrom(kFitTable, text, 1); p != kNotFound; p = FindFrom(kFitTable, text, p + 1)) ++tables;
    const std::int32_t count = tables > 1 ? tables - 1 : 0;

    const Listing in(text);
    std::int64_t c = 0;
    result.solutions.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        std::int64_t next = c;
        try {
            result.solutions.push_back(ReadSolution(in, next, rangeCount, gridPoints));
        } catch (const Broken&) {
            result.status = ContinParse::Status::Truncated;
            break;
        }
        c = next;
    }

    // The chosen solution: the final printout's first peak intensity, matched
    // exactly against the first peak of every solution; the last match wins.
    // Without a readable final printout the previous choice stays.
    try {
        const std::int64_t heading = in.Require(kFinalHeading, c);
        const double chosenIntensity = in.Intensity(in.Require(kMoment, heading) + 211);
        for (std::size_t i = 0; i < result.solutions.size(); ++i) {
            const ContinSolution& s = result.solutions[i];
            if (s.peakCount > 0 && s.peakIntensity[0] == chosenIntensity) result.chosen = static_cast<std::int32_t>(i);
        }
    } catch (const Broken&) {
    }
    return result;
}

void ApplyContinParse(Workspace& ws, ContinParse parse)
{
    if (parse.status == ContinParse::Status::Rejected) {
        // The old records stay (the charts still show one of them) but are no
        // longer offered for browsing.
        ws.SolutionCount = 0;
        return;
    }
    ws.LastAnalysis = kContin;
    ws.ContinSolutions = std::move(parse.solutions);
    ws.SolutionCount = static_cast<std::int32_t>(ws.ContinSolutions.size());
    ws.ChosenSolution = parse.chosen;
    ws.ContinOnChart = -1;  // the records drawn before are gone
}

}  // namespace fluvena
