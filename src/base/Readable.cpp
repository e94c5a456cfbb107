#include "base/Readable.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace fluvena {

namespace {

constexpr const char* kDot = "\xC2\xB7";  // U+00B7 MIDDLE DOT
constexpr const char* kNotANumber = "\xE2\x80\x93";  // U+2013 EN DASH

// |value| with `decimals` places (rounded half away from zero by to_chars'
// exact shortest-round), the separator given, trailing zeros dropped when
// `trim`.
std::string Fixed(double value, int decimals, char separator, bool trim)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
    std::string s(buf, r.ptr);
    if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) {
        if (!s.empty() && s[0] == '-') s.erase(0, 1);  // no "-0"
    }
    const std::size_t dot = s.find('.');
    if (dot != std::string::npos) {
        if (trim) {
            while (s.back() == '0') s.pop_back();
            if (s.back() == '.') s.pop_back();
        }
        const std::size_t at = s.find('.');
        if (at != std::string::npos) s[at] = separator;
    }
    return s;
}

// The decimal exponent of the leading digit of |value| after rounding to
// `digits` significant digits (999.7 at 3 digits is 1.00e3: exponent 3).
int LeadingExponent(double value, int digits)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, digits - 1);
    const std::string s(buf, r.ptr);
    return std::atoi(s.c_str() + s.find('e') + 1);
}

std::string Powered(double value, int digits, char separator)
{
    const int e = LeadingExponent(value, digits);
    const double mantissa = value / std::pow(10.0, e);
    return Fixed(mantissa, digits - 1, separator, true) + kDot + "10" + Superscript(e);
}

}  // namespace

std::string Superscript(int n)
{
    static constexpr const char* kDigits[] = {"\xE2\x81\xB0", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3", "\xE2\x81\xB4",
                                              "\xE2\x81\xB5", "\xE2\x81\xB6", "\xE2\x81\xB7", "\xE2\x81\xB8", "\xE2\x81\xB9"};
    std::string out = n < 0 ? "\xE2\x81\xBB" : "";  // U+207B SUPERSCRIPT MINUS
    for (char c : std::to_string(n < 0 ? -static_cast<long long>(n) : n)) out += kDigits[c - '0'];
    return out;
}

std::string Readable(double value, char separator, int digits)
{
    if (!std::isfinite(value)) return kNotANumber;
    if (digits < 1) digits = 1;
    if (value == 0.0) return "0";
    // Whole numbers of three and four digits keep every digit.
    if (std::fabs(value) >= 100.0 && std::fabs(std::round(value)) < 10000.0) return Fixed(value, 0, separator, true);
    const int e = LeadingExponent(value, digits);
    if (e < -3 || e > 3) return Powered(value, digits, separator);
    // Whole numbers keep their digits; smaller ones get the decimals that
    // make `digits` significant ones.
    return Fixed(value, std::max(0, digits - 1 - e), separator, true);
}

std::string ReadableFixed(double value, int decimals, char separator)
{
    if (!std::isfinite(value)) return kNotANumber;
    return Fixed(value, decimals, separator, false);
}

std::string ReadableWithError(double value, double error, std::string_view unit, char separator)
{
    const std::string space = unit.empty() ? "" : " ";
    if (!std::isfinite(value) || !std::isfinite(error) || !(error > 0.0))
        return Readable(value, separator) + space + std::string(unit);
    // The error's second significant digit sets the last place of both.
    const int place = LeadingExponent(error, 2) - 1;
    const int e = std::max(LeadingExponent(value, 3), place + 1);
    if (e < -3 || e > 3 || place > 3)
        return Readable(value, separator) + space + std::string(unit) + " \xC2\xB1 " + Readable(error, separator, 2);
    const int decimals = std::max(0, -place);
    return Fixed(value, decimals, separator, false) + space + std::string(unit) + " \xC2\xB1 " +
           Fixed(error, decimals, separator, false);
}

std::string SiPrefixed(double value, std::string_view unit, int power, char separator, int digits)
{
    static constexpr const char* kPrefixes[] = {"f", "p", "n", "\xC2\xB5", "m", "", "k", "M", "G", "T"};
    const std::string powerText = power == 1 ? "" : Superscript(power);
    if (!std::isfinite(value) || value == 0.0 || power == 0) return Readable(value, separator, digits) + " " + std::string(unit) + powerText;
    // value [unit^power] = value * f^-power [(prefix unit)^power], f = 10^(3k).
    int best = 5;
    for (int k = 0; k < 10; ++k) {
        const double scaled = std::fabs(value) * std::pow(10.0, -3.0 * (k - 5) * power);
        const int e = LeadingExponent(scaled, digits);
        if (e >= 0 && e < 3) {
            best = k;
            break;
        }
    }
    const double scaled = value * std::pow(10.0, -3.0 * (best - 5) * power);
    return Readable(scaled, separator, digits) + " " + kPrefixes[best] + std::string(unit) + powerText;
}

}  // namespace fluvena
