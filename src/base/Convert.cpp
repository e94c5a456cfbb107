#include "Convert.h"

#include "Errors.h"
#include "Text.h"

#include <cmath>
#include <limits>
#include <string>

namespace fluvena {

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void NotInteger(std::string_view text)
{
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}
[[noreturn]] void NotFloat(std::string_view text)
{
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}
}  // namespace

std::int32_t StrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && Blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size()) NotInteger(text);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!Digit(text[i])) NotInteger(text);
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) NotInteger(text);
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        NotInteger(text);
    return static_cast<std::int32_t>(value);
}

double StrToFloat(std::string_view text, char decimalSeparator)
{
    std::size_t b = 0, e = text.size();
    while (b < e && Blank(text[b])) ++b;
    while (e > b && Blank(text[e - 1])) --e;
    const std::string_view t = text.substr(b, e - b);
    std::size_t i = 0;
    std::string plain;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
    std::size_t digits = 0;
    while (i < t.size() && Digit(t[i])) { plain += t[i++]; ++digits; }
    if (i < t.size() && t[i] == decimalSeparator) {
        plain += '.';
        ++i;
        while (i < t.size() && Digit(t[i])) { plain += t[i++]; ++digits; }
    }
    if (digits == 0) NotFloat(text);
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
        std::size_t expDigits = 0;
        while (i < t.size() && Digit(t[i])) { plain += t[i++]; ++expDigits; }
        if (expDigits == 0) NotFloat(text);
    }
    if (i != t.size()) NotFloat(text);
    const double v = Number(plain);
    if (!std::isfinite(v)) NotFloat(text);
    return v;
}

}  // namespace fluvena
