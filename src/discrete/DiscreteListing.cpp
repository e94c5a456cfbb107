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
constexpr std::string_view kRejected = "ERRONEOUS CARD IMAGE";

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

// Whether the line starting at pos is a rule line of '=' (after the blank of
// the carriage control column).
bool IsRule(std::string_view text, std::size_t pos)
{
    std::size_t eq = 0;
    for (std::size_t i = pos; i < text.size() && text[i] != '\r' && text[i] != '\n'; ++i) {
        if (text[i] == '=') ++eq;
        else if (text[i] != ' ') return false;
    }
    return eq >= 20;
}

// A whole summary closes its last solution with two rule lines after the
// line that holds its PUNC value, and nothing but blank lines follows: text
// after them is the start of a solution that was cut off.
bool ClosedAfter(std::string_view text, std::size_t puncAt)
{
    std::size_t line = text.find('\n', puncAt);
    for (int k = 0; k < 2; ++k) {
        if (line == std::string_view::npos || !IsRule(text, line + 1)) return false;
        line = text.find('\n', line + 1);
    }
    return line != std::string_view::npos && text.find_first_not_of(" \r\n", line) == std::string_view::npos;
}

DiscreteListing Unreadable(DiscreteListing::Status status, std::string reason)
{
    DiscreteListing out;
    out.status = status;
    out.reason = std::move(reason);
    return out;
}

}  // namespace

DiscreteListing ParseDiscreteListing(std::string_view text, std::span<const double> x, std::span<const double> y)
{
    if (text.size() >= kNotFound) text = text.substr(0, kNotFound - 1);
    if (FindFrom(kTableMarker, text, 0) == kNotFound) {
        if (const Pos at = FindFrom(kRejected, text, 0); at != kNotFound)
            return Unreadable(DiscreteListing::Status::Rejected, LinesAround(text, at));
        return Unreadable(DiscreteListing::Status::Incomplete, "the listing holds no component table");
    }

    // Occurrences of the marker at positions 1 and later: one per solution.
    std::size_t solutionCount = 0;
    for (Pos p = FindFrom(kSolutionMarker, text, 1); p != kNotFound; p = FindFrom(kSolutionMarker, text, Advance(p, 1)))
        ++solutionCount;
    if (solutionCount == 0) return Unreadable(DiscreteListing::Status::Incomplete, "the listing holds no solution");

    DiscreteListing parse;
    // The solutions follow the second title line; the first one stands at 0.
    Pos pos = FindFrom(kStartMarker, text, 10);
    parse.uncertain = FindFrom(kUncertainSentence, text, pos) != kNotFound;

    const std::size_t n = std::min(x.size(), y.size());
    try {
        for (std::size_t s = 0; s < solutionCount; ++s) {
            DiscreteSolution r;
            pos = Require(FindFrom(kComponentsMarker, text, pos));
            // The count is the one character two places before the marker:
            // only its last digit when it has two.
            const double count = std::trunc(NumberAt(text, Advance(pos, -2), 1));
            r.components.resize(count > 0 ? static_cast<std::size_t>(count) : 0);

            pos = Advance(Require(FindFrom(kTableMarker, text, pos)), kFirstRowAfterTable);
            for (Component& c : r.components) {
                c.amplitude = SignedField(text, pos, 9);
                c.amplitudeErr = SignedField(text, Advance(pos, 21), 8);
                c.rate = SignedField(text, Advance(pos, 37), 9);
                c.rateErr = SignedField(text, Advance(pos, 58), 8);
                const Pos exact = FindFrom(kExactMarker, text, pos);
                const Pos lineEnd = FindFrom("\n", text, pos);
                pos = Advance(pos, exact != kNotFound && exact < lineEnd ? kExactRowLength : kRowLength);
            }
            r.baseline = SignedField(text, pos, 9);
            pos = Require(FindFrom(kPuncMarker, text, pos));
            r.punc = SignedField(text, Advance(pos, kPuncValueOffset), 5);
            if (s + 1 == solutionCount && !ClosedAfter(text, pos)) throw ListingEnds{};

            r.fitX.resize(n);
            r.fitY.resize(n);
            r.residual.resize(n);
            for (std::size_t k = 0; k < n; ++k) {
                double fit = r.baseline;
                for (const Component& c : r.components) fit += c.amplitude * std::exp(-x[k] * c.rate);
                r.fitX[k] = x[k];
                r.fitY[k] = fit;
                r.residual[k] = y[k] - fit;
            }
            parse.solutions.push_back(std::move(r));
        }
    } catch (const ListingEnds&) {
        return Unreadable(DiscreteListing::Status::Incomplete,
                          "the summary breaks off in solution " + std::to_string(parse.solutions.size()) + " of " +
                              std::to_string(solutionCount));
    } catch (const OutOfRange&) {
        return Unreadable(DiscreteListing::Status::Incomplete,
                          "the summary breaks off in solution " + std::to_string(parse.solutions.size()) + " of " +
                              std::to_string(solutionCount));
    }
    return parse;
}

}  // namespace fluvena
