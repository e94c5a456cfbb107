#include "discrete/DiscreteListing.h"

#include "base/Errors.h"
#include "base/Text.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace fluvena {

namespace {

constexpr std::string_view kTableMarker = "ALPHA +- STD ERR";
constexpr std::string_view kSolutionMarker = "WEIGHTED AVERAGE";
constexpr std::string_view kStartMarker = "1DISCRETE";
constexpr std::string_view kUncertainSentence = "PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY";
constexpr std::string_view kComponentsMarker = "COMPONENTS";
constexpr std::string_view kPuncMarker = "PUNC";
constexpr std::string_view kExactMarker = "EXACT";

// Offsets within the listing's table of one solution.
constexpr std::int64_t kFirstRowAfterTable = 124;  // from the start of kTableMarker
constexpr std::int64_t kRowLength = 91;             // a component row with CR LF
constexpr std::int64_t kExactRowLength = 130;       // a row that carries kExactMarker
constexpr std::int64_t kPuncValueOffset = 7;

// Thrown when a marker is missing or a field lies (partly) beyond the text.
struct ListingEnds {};

Pos Require(Pos p)
{
    if (p == kNotFound) throw ListingEnds{};
    return p;
}

// A signed value in a fixed window of width n at pos. The listing prints a
// negative value with its minus sign in the column just before the window
// (the window holds the digits only, e.g. "*-4.214E-04"), so a '-' right
// before the window, next to the first digit, makes the value negative; a
// window that carries its own sign is taken as it is. A window that runs past
// the end of the text means the listing was cut off there.
double SignedField(std::string_view text, Pos pos, Pos n)
{
    if (pos > text.size() || n > text.size() - pos) throw ListingEnds{};
    const double value = NumberAt(text, pos, n);
    const bool signBefore = pos > 0 && n > 0 && text[pos - 1] == '-' &&
                            ((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '.');
    return signBefore && !std::signbit(value) ? -value : value;
}

}  // namespace

DiscreteParse ParseDiscreteListing(std::string_view text, const Workspace& ws)
{
    DiscreteParse parse;
    if (FindFrom(kTableMarker, text, 0) == kNotFound) {
        parse.status = DiscreteParse::Status::NoTable;
        return parse;
    }

    // Occurrences of the marker at positions 1 and later: one per solution.
    std::size_t solutionCount = 0;
    for (Pos p = FindFrom(kSolutionMarker, text, 1); p != kNotFound; p = FindFrom(kSolutionMarker, text, Advance(p, 1)))
        ++solutionCount;

    // The solutions follow the second title line; the first one stands at 0.
    Pos pos = FindFrom(kStartMarker, text, 10);
    parse.uncertain = FindFrom(kUncertainSentence, text, pos) != kNotFound;

    // The fitted curve runs over the analysed points; a range the loaded
    // arrays do not hold gives no solutions at all.
    const std::int64_t first = ws.FirstPoint;
    const std::int64_t points = ws.RangeCount > 0 ? ws.RangeCount : 0;
    if (points > 0 && (first < 0 || first + points > static_cast<std::int64_t>(ws.DataX.size()) ||
                       first + points > static_cast<std::int64_t>(ws.DataY.size()))) {
        parse.status = solutionCount > 0 ? DiscreteParse::Status::Truncated : DiscreteParse::Status::Ok;
        return parse;
    }

    try {
        for (std::size_t s = 0; s < solutionCount; ++s) {
            RozwiazanieDisc r;
            pos = Require(FindFrom(kComponentsMarker, text, pos));
            // The count is the one character two places before the marker:
            // only its last digit when it has two.
            r.componentCount = static_cast<std::int32_t>(std::trunc(NumberAt(text, Advance(pos, -2), 1)));
            if (r.componentCount < 0) r.componentCount = 0;
            const auto c = static_cast<std::size_t>(r.componentCount);
            r.amplitude.resize(c);
            r.amplitudeErr.resize(c);
            r.rate.resize(c);
            r.rateErr.resize(c);

            pos = Advance(Require(FindFrom(kTableMarker, text, pos)), kFirstRowAfterTable);
            for (std::size_t j = 0; j < c; ++j) {
                r.amplitude[j] = SignedField(text, pos, 9);
                r.amplitudeErr[j] = SignedField(text, Advance(pos, 21), 8);
                r.rate[j] = SignedField(text, Advance(pos, 37), 9);
                r.rateErr[j] = SignedField(text, Advance(pos, 58), 8);
                const Pos exact = FindFrom(kExactMarker, text, pos);
                const Pos lineEnd = FindFrom("\n", text, pos);
                pos = Advance(pos, exact != kNotFound && exact < lineEnd ? kExactRowLength : kRowLength);
            }
            r.baseline = SignedField(text, pos, 9);
            pos = Require(FindFrom(kPuncMarker, text, pos));
            r.punc = SignedField(text, Advance(pos, kPuncValueOffset), 5);

            const auto n = static_cast<std::size_t>(points);
            r.fitX.resize(n);
            r.fitY.resize(n);
            r.residual.resize(n);
            for (std::size_t k = 0; k < n; ++k) {
                const auto i = static_cast<std::size_t>(first) + k;
                const double x = ws.DataX[i];
                double y = 0.0;
                for (std::size_t j = 0; j < c; ++j) y += r.amplitude[j] * std::exp(-x * r.rate[j]);
                y += r.baseline;
                r.fitX[k] = x;
                r.fitY[k] = y;
                r.residual[k] = ws.DataY[i] - y;
            }
            parse.solutions.push_back(std::move(r));
        }
    } catch (const ListingEnds&) {
        parse.status = DiscreteParse::Status::Truncated;
    } catch (const OutOfRange&) {
        parse.status = DiscreteParse::Status::Truncated;
    }
    return parse;
}

void ApplyDiscreteParse(Workspace& ws, DiscreteParse parse)
{
    if (parse.status == DiscreteParse::Status::NoTable) return;
    ws.LastAnalysis = kDiscrete;
    ws.DiscreteSolutions = std::move(parse.solutions);
    ws.SolutionCount = static_cast<std::int32_t>(ws.DiscreteSolutions.size());
}

}  // namespace fluvena
