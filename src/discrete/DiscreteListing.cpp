#include "discrete/DiscreteListing.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "common/ListingGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

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

// A listing line without its carriage control character and without the
// blanks and asterisks around it.
std::string_view CleanLine(std::string_view text, std::size_t from)
{
    std::size_t to = text.find('\n', from);
    if (to == std::string_view::npos) to = text.size();
    std::string_view line = text.substr(from, to - from);
    if (!line.empty()) line.remove_prefix(1);
    const auto frame = [](char c) { return c == ' ' || c == '*' || c == '\r' || c == '\t'; };
    while (!line.empty() && frame(line.back())) line.remove_suffix(1);
    while (!line.empty() && frame(line.front())) line.remove_prefix(1);
    return line;
}

std::size_t LineStart(std::string_view text, std::size_t at)
{
    const std::size_t nl = at == 0 ? std::string_view::npos : text.rfind('\n', at - 1);
    return nl == std::string_view::npos ? 0 : nl + 1;
}

// The sentences with which the program gives its reason for printing no
// solution.
constexpr std::string_view kNoSolutionSentences[] = {
    "NO MEANINGFUL SOLUTION", "CANNOT BE ANALYSED", "NO SOLUTION IS GIVEN", "ANALYSIS WAS ABANDONED",
};

// The program's reason for a listing without solutions: the line holding one
// of its sentences, with the line of text before it (the cause it names,
// unless that is a page heading) and the lines that follow it up to the next
// blank line. Where none of the sentences occurs, whatever the summary (the
// text after the last title line) says instead of a solution, line by line,
// when it is whole. Empty when the listing says nothing of the kind: it was
// cut off.
std::string NoSolutionReason(std::string_view text)
{
    std::size_t at = std::string_view::npos;
    for (const std::string_view sentence : kNoSolutionSentences)
        if (const Pos p = FindFrom(sentence, text, 0); p != kNotFound) at = std::min<std::size_t>(at, p);
    std::vector<std::string_view> lines;
    std::size_t line = std::string_view::npos;
    if (at != std::string_view::npos) {
        line = LineStart(text, at);
        if (line > 0) {
            // The nearest line of text before it.
            for (std::size_t b = LineStart(text, line - 1);; b = LineStart(text, b - 1)) {
                const std::string_view before = CleanLine(text, b);
                if (!before.empty()) {
                    if (text[b] != '1') lines.push_back(before);
                    break;
                }
                if (b == 0) break;
            }
        }
    } else {
        const std::size_t title = text.rfind(kTitle);
        if (title == std::string_view::npos || title == 0) return {};
        line = text.find('\n', title);
        if (line == std::string_view::npos) return {};
        ++line;
        // Blank lines up to the first line of text: a solution's heading, or
        // a line cut short, is no reason.
        while (line < text.size() && CleanLine(text, line).empty() && text.find('\n', line) != std::string_view::npos)
            line = text.find('\n', line) + 1;
        const std::size_t end = text.find('\n', line);
        if (end == std::string_view::npos || CleanLine(text, line).empty()) return {};
        if (text.substr(line, end - line).find("BEST SOLUTION") != std::string_view::npos) return {};
    }
    for (int k = 0; k < 12 && line < text.size(); ++k) {
        const std::size_t end = text.find('\n', line);
        // A sentence cut short stays out, but for the first.
        if (end == std::string_view::npos && k > 0) break;
        const std::string_view l = CleanLine(text, line);
        if (l.empty()) break;
        lines.push_back(l);
        if (end == std::string_view::npos) break;
        line = end + 1;
    }
    std::string reason;
    for (const std::string_view l : lines) {
        if (!reason.empty()) reason += '\n';
        reason += l;
    }
    return reason;
}

// The integer printed just before `at` on its line ("(3 SOLUTIONS LISTED)"
// gives 3), -1 when there is none.
std::int64_t NumberBefore(std::string_view text, std::size_t at)
{
    std::size_t i = at;
    while (i > 0 && text[i - 1] == ' ') --i;
    std::int64_t value = 0, scale = 1;
    bool any = false;
    for (; i > 0 && text[i - 1] >= '0' && text[i - 1] <= '9' && scale <= 1000000; --i, scale *= 10) {
        value += (text[i - 1] - '0') * scale;
        any = true;
    }
    return any ? value : -1;
}

// How many solutions a whole summary holds, as far as its best solution's
// block tells: the number its heading states, else nullopt. `needsSecond`
// is set when the block names a second best solution: its comparison
// "PNG(a/b)" with a other than its own count b, or the note to look at the
// second best solution also.
std::optional<std::int64_t> StatedCount(std::string_view text, Pos heading, Pos punc, bool uncertain, bool& needsSecond)
{
    needsSecond = uncertain;
    const std::size_t lineEnd = std::min<std::size_t>(text.find('\n', heading), text.size());
    std::optional<std::int64_t> stated;
    if (const Pos listed = FindFrom(kListed, text, heading); listed != kNotFound && listed < lineEnd)
        stated = NumberBefore(text, listed);
    const Pos png = FindFrom("PNG(", text, heading);
    if (png != kNotFound && png < punc) {
        const std::size_t slash = text.find('/', png);
        const std::size_t close = text.find(')', png);
        if (slash != std::string_view::npos && close != std::string_view::npos && slash < close)
            needsSecond = needsSecond || NumberBefore(text, slash) != NumberBefore(text, close);
    }
    return stated;
}

// Whether a summary whose last solution is closed holds every solution:
// the number its best solution states, or, where it states none, the
// solutions of 1 ... n components once each (DISCRETE lists every count it
// could fit, the best first, then the second best, then the others from the
// most components down), and a second one where the best names one.
bool WholeSummary(const std::vector<std::size_t>& counts, std::optional<std::int64_t> stated, bool needsSecond)
{
    if (stated) return *stated == static_cast<std::int64_t>(counts.size());
    if (needsSecond && counts.size() < 2) return false;
    std::vector<std::size_t> sorted = counts;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t k = 0; k < sorted.size(); ++k)
        if (sorted[k] != k + 1) return false;
    return true;
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
        if (std::string reason = NoSolutionReason(text); !reason.empty())
            return Unreadable(DiscreteListing::Status::NoSolution, std::move(reason));
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
    std::optional<std::int64_t> stated;
    bool needsSecond = false;
    std::vector<std::size_t> counts;
    try {
        for (std::size_t s = 0; s < solutionCount; ++s) {
            DiscreteSolution r;
            pos = Require(FindFrom(kComponents, text, pos));
            const Pos heading = pos;
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
            if (s == 0) stated = StatedCount(text, heading, pos, parse.uncertain, needsSecond);
            counts.push_back(r.components.size());

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
    if (!WholeSummary(counts, stated, needsSecond))
        return Unreadable(DiscreteListing::Status::Incomplete,
                          "the summary breaks off after solution " + std::to_string(counts.size()) +
                              (stated ? " of " + std::to_string(*stated) : std::string()));
    return parse;
}

}  // namespace fluvena
