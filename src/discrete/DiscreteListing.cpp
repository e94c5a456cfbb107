#include "discrete/DiscreteListing.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "common/ListingGeometry.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace fluvena {

namespace {

using namespace listing::discrete;

// Thrown when a marker is missing or a field lies (partly) beyond the text.
struct ListingEnds {};

// The listing's line that holds the marker at `at`, without its frame of
// '+' signs and blanks, and with runs of blanks made one.
std::string UncertainSentence(std::string_view text, Pos at)
{
    const std::size_t nl = text.rfind('\n', at);
    const std::size_t from = nl == std::string_view::npos ? 0 : nl + 1;
    std::size_t to = text.find('\n', at);
    if (to == std::string_view::npos) to = text.size();
    std::string_view line = text.substr(from, to - from);
    const auto frame = [](char c) { return c == '+' || c == ' ' || c == '\r' || c == '\t'; };
    while (!line.empty() && frame(line.front())) line.remove_prefix(1);
    while (!line.empty() && frame(line.back())) line.remove_suffix(1);
    std::string out;
    for (char c : line) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

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
double SignedField(std::string_view text, Pos anchor, listing::Field field)
{
    const Pos pos = Advance(anchor, field.offset);
    const auto n = static_cast<Pos>(field.width);
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
    if (FindFrom(kTable, text, 0) == kNotFound) {
        if (const Pos at = FindFrom(kRejected, text, 0); at != kNotFound)
            return Unreadable(DiscreteListing::Status::Rejected, LinesAround(text, at));
        return Unreadable(DiscreteListing::Status::Incomplete, "the listing holds no component table");
    }

    // Occurrences of the marker at positions 1 and later: one per solution.
    std::size_t solutionCount = 0;
    for (Pos p = FindFrom(kSolutionEnd, text, 1); p != kNotFound; p = FindFrom(kSolutionEnd, text, Advance(p, 1)))
        ++solutionCount;
    if (solutionCount == 0) return Unreadable(DiscreteListing::Status::Incomplete, "the listing holds no solution");

    DiscreteListing parse;
    // The solutions follow the second title line; the first one stands at 0.
    Pos pos = FindFrom(kTitle, text, 10);
    if (const Pos at = FindFrom(kUncertain, text, pos); at != kNotFound) {
        parse.uncertain = true;
        parse.uncertainReason = UncertainSentence(text, at);
    }

    const std::size_t n = std::min(x.size(), y.size());
    try {
        for (std::size_t s = 0; s < solutionCount; ++s) {
            DiscreteSolution r;
            pos = Require(FindFrom(kComponents, text, pos));
            // The count is the one character two places before the marker:
            // only its last digit when it has two.
            const double count = std::trunc(NumberAt(text, Advance(pos, -2), 1));
            r.components.resize(count > 0 ? static_cast<std::size_t>(count) : 0);

            pos = Advance(Require(FindFrom(kTable, text, pos)), kFirstRow);
            for (Component& c : r.components) {
                c.amplitude = SignedField(text, pos, kAmplitude);
                c.amplitudeErr = SignedField(text, pos, kAmplitudeErr);
                c.rate = SignedField(text, pos, kRate);
                c.rateErr = SignedField(text, pos, kRateErr);
                const Pos exact = FindFrom(kExact, text, pos);
                const Pos lineEnd = FindFrom("\n", text, pos);
                pos = Advance(pos, exact != kNotFound && exact < lineEnd ? kExactRow : kRow);
            }
            r.baseline = SignedField(text, pos, kAmplitude);
            pos = Require(FindFrom(kPunc, text, pos));
            r.punc = SignedField(text, pos, kPuncValue);
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
