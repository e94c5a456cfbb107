#include "LineScan.h"

#include "Cp1250.h"

#include <charconv>

namespace fluvena::io {

std::vector<TextLine> LinesOf(std::string_view bytes)
{
    std::vector<TextLine> lines;
    std::int64_t number = 1;
    std::size_t start = 0;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back({bytes.substr(start, i - start), number++});
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back({bytes.substr(start), number});
    return lines;
}

std::string_view WithoutByteOrderMark(std::string_view bytes)
{
    return bytes.substr(0, 3) == "\xEF\xBB\xBF" ? bytes.substr(3) : bytes;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool IsBlankLine(std::string_view s) { return Trimmed(s).empty(); }

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

NumberStatus ReadNumber(std::string_view field, double& value)
{
    const std::size_t n = field.size();
    std::size_t i = 0;
    const bool negative = n > 0 && field[0] == '-';
    if (n > 0 && (field[0] == '+' || field[0] == '-')) ++i;
    const std::size_t body = i;
    std::size_t digits = 0;
    std::size_t mark = std::string_view::npos;
    for (; i < n; ++i) {
        const char c = field[i];
        if (IsDigit(c)) {
            ++digits;
        } else if ((c == '.' || c == ',') && mark == std::string_view::npos) {
            mark = i;
        } else {
            break;
        }
    }
    if (digits == 0) return NumberStatus::NotANumber;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        if (i < n && (field[i] == '+' || field[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(field[i])) { ++i; ++expDigits; }
        if (expDigits == 0) return NumberStatus::NotANumber;
    }
    if (i != n) return NumberStatus::NotANumber;

    // from_chars takes no '+' and no comma: the magnitude is converted from
    // the characters after the sign (with a comma mark copied as a point) and
    // the sign applied afterwards, as the window's earlier reader did.
    std::string copy;
    const char* first = field.data() + body;
    const char* last = field.data() + n;
    if (mark != std::string_view::npos && field[mark] == ',') {
        copy.assign(first, last);
        copy[mark - body] = '.';
        first = copy.data();
        last = copy.data() + copy.size();
    }
    double magnitude = 0.0;
    const auto r = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) return NumberStatus::OutOfRange;
    if (r.ec != std::errc() || r.ptr != last) return NumberStatus::NotANumber;
    value = negative ? -magnitude : magnitude;
    return NumberStatus::Ok;
}

namespace {

bool IsUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (len == 0 || (len == 2 && c < 0xC2) || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

constexpr std::size_t kQuoteLength = 40;

}  // namespace

std::string Quoted(std::string_view field, bool latin1)
{
    const bool cut = field.size() > kQuoteLength;
    if (cut) {
        field = field.substr(0, kQuoteLength);
        // Do not end inside a UTF-8 sequence.
        while (!field.empty() && (static_cast<unsigned char>(field.back()) & 0xC0) == 0x80) field.remove_suffix(1);
        if (!field.empty() && static_cast<unsigned char>(field.back()) >= 0xC0) field.remove_suffix(1);
    }
    std::string out = IsUtf8(field) ? std::string(field) : latin1 ? Latin1ToUtf8(field) : Cp1250ToUtf8(field);
    if (cut) out += "...";
    return out;
}

Failure NotANumber(const TextLine& line, std::string_view field, bool latin1)
{
    return Fail("line %1: '%2' is not a number", {std::to_string(line.number), Quoted(field, latin1)}, line.number);
}

Failure OutOfRange(const TextLine& line, std::string_view field, bool latin1)
{
    return Fail("line %1: '%2' is beyond the range of numbers", {std::to_string(line.number), Quoted(field, latin1)},
                line.number);
}

std::optional<Failure> CheckStatedValue(const TextLine& line, std::string_view key, std::string_view spelt,
                                        physics::Quantity q, double v, bool latin1)
{
    if (physics::WithinBounds(q, v)) return std::nullopt;
    const physics::Bounds b = physics::BoundsOf(q);
    std::vector<std::string> args = {std::to_string(line.number), Quoted(key, latin1), Quoted(spelt, latin1),
                                     physics::ValueArg(b.low), physics::ValueArg(b.high)};
    if (b.open)
        return Fail("line %1: '%2' gives %3, not strictly between %4 and %5", std::move(args), line.number);
    return Fail("line %1: '%2' gives %3, outside %4 ... %5", std::move(args), line.number);
}

std::optional<Failure> TimeOrder::Check(const TextLine& line, std::string_view field, double time)
{
    const std::string at = std::to_string(line.number);
    if (time < 0.0) return Fail("line %1: the time %2 is negative", {at, Quoted(field)}, line.number);
    if (any_ && !(time > last_))
        return Fail("line %1: the time %2 is not greater than the time before it (%3)",
                    {at, Quoted(field), Quoted(lastField_)}, line.number);
    any_ = true;
    last_ = time;
    lastField_ = field;
    return std::nullopt;
}

}  // namespace fluvena::io
