#include "Text.h"

#include "Errors.h"

#include <cmath>
#include <cstdlib>
#include <charconv>
#include <string>

namespace fluvena {

Pos FindFrom(std::string_view needle, std::string_view text, Pos start)
{
    if (start == kNotFound || needle.size() > text.size()) return kNotFound;
    if (start > text.size() - needle.size()) return kNotFound;
    const std::size_t at = text.find(needle, start);
    if (at == std::string_view::npos || at >= kNotFound) return kNotFound;
    return static_cast<Pos>(at);
}

std::string_view Cut(std::string_view text, Pos pos, Pos n)
{
    if (pos > text.size()) throw OutOfRange();
    return text.substr(pos, n);
}

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double Number(std::string_view piece)
{
    std::size_t i = 0;
    const std::size_t n = piece.size();
    while (i < n && IsSpace(piece[i])) ++i;
    const std::size_t start = i;
    if (i < n && (piece[i] == '+' || piece[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(piece[i])) { ++i; ++digits; }
    if (i < n && piece[i] == '.') {
        ++i;
        while (i < n && IsDigit(piece[i])) { ++i; ++digits; }
    }
    if (digits == 0) return 0.0;
    std::size_t end = i;
    // Fortran prints double-precision exponents with a D ("6.4D-01").
    const bool dExponent = i < n && (piece[i] == 'd' || piece[i] == 'D');
    if (i < n && (piece[i] == 'e' || piece[i] == 'E' || dExponent)) {
        std::size_t j = i + 1;
        if (j < n && (piece[j] == '+' || piece[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < n && IsDigit(piece[j])) { ++j; ++expDigits; }
        if (expDigits > 0) end = j;
    }
    // from_chars on exactly the accepted characters: independent of the C
    // locale (the window sets it from the user's settings), no hex, no
    // "inf"/"nan" words, and never a read past the piece.
    std::size_t b = start;
    bool negative = false;
    if (piece[b] == '+' || piece[b] == '-') { negative = piece[b] == '-'; ++b; }
    double value = 0.0;
    std::string swapped;
    const char* first = piece.data() + b;
    const char* last = piece.data() + end;
    if (dExponent && end > i) {
        swapped.assign(first, last);
        swapped[i - b] = 'e';
        first = swapped.data();
        last = first + swapped.size();
    }
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // atof gives +-HUGE_VAL on overflow and 0 on underflow.
        const bool tiny = [&] {
            for (const char* c = first; c != last && *c != 'e' && *c != 'E'; ++c)
                if (*c >= '1' && *c <= '9') {
                    const char* e = c;
                    while (e != last && *e != 'e' && *e != 'E') ++e;
                    return e != last && e + 1 != last && e[1] == '-';
                }
            return true;
        }();
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

double NumberAt(std::string_view text, Pos pos, Pos n) { return Number(Cut(text, pos, n)); }

std::string LinesAround(std::string_view text, std::size_t at)
{
    if (at >= text.size()) return {};
    const auto lineStart = [&](std::size_t p) {
        const std::size_t nl = text.rfind('\n', p);
        return nl == std::string_view::npos ? 0 : nl + 1;
    };
    // A listing line without its carriage control character (first column)
    // and without trailing blanks, asterisks and line ends.
    const auto clean = [&](std::size_t from) {
        std::size_t to = text.find('\n', from);
        if (to == std::string_view::npos) to = text.size();
        std::string_view line = text.substr(from, to - from);
        if (!line.empty()) line.remove_prefix(1);
        while (!line.empty() && (IsSpace(line.back()) || line.back() == '*')) line.remove_suffix(1);
        while (!line.empty() && IsSpace(line.front())) line.remove_prefix(1);
        return std::string(line);
    };
    const std::size_t here = lineStart(at);
    std::string before;
    for (std::size_t start = here; start > 0 && before.empty();) {
        // The line before ends with the line feed at start - 1.
        start = start >= 2 ? lineStart(start - 2) : 0;
        before = clean(start);
    }
    const std::string line = clean(here);
    return before.empty() ? line : before + "\n" + line;
}

}  // namespace fluvena
