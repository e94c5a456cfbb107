#include "common/FortranNumbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fluvena::engine {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string RightAligned(const std::string& s, int width) {
    return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}

}  // namespace

bool ParseFortranNumber(std::string_view field, double& value) {
    field = Trim(field);
    if (field.empty()) {
        value = 0.0;
        return true;
    }
    if (field.size() > 60) return false;
    std::string norm;
    std::size_t i = 0;
    if (field[i] == '+' || field[i] == '-') norm += field[i++];
    std::size_t digits = 0;
    bool point = false;
    for (; i < field.size(); ++i) {
        const char ch = field[i];
        if (IsDigit(ch)) {
            ++digits;
            norm += ch;
        } else if (ch == '.' && !point) {
            point = true;
            norm += ch;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < field.size()) {
        const char ch = field[i];
        if (ch == 'E' || ch == 'e' || ch == 'D' || ch == 'd' || ch == 'Q' || ch == 'q') ++i;
        else if (ch != '+' && ch != '-') return false;
        norm += 'E';
        if (i < field.size() && (field[i] == '+' || field[i] == '-')) norm += field[i++];
        std::size_t expDigits = 0;
        for (; i < field.size() && IsDigit(field[i]); ++i) {
            norm += field[i];
            ++expDigits;
        }
        if (expDigits == 0 || expDigits > 4 || i != field.size()) return false;
    }
    char* end = nullptr;
    const double v = std::strtod(norm.c_str(), &end);
    if (end != norm.c_str() + norm.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ParseWholeNumber(std::string_view token, int& value) {
    if (token.empty()) return false;
    std::size_t i = 0;
    bool negative = false;
    if (token[0] == '+' || token[0] == '-') {
        negative = token[0] == '-';
        i = 1;
    }
    if (i == token.size()) return false;
    long long v = 0;
    for (; i < token.size(); ++i) {
        if (!IsDigit(token[i])) return false;
        v = v * 10 + (token[i] - '0');
        if (v > 2147483647LL) return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

std::string FormatE(double v, int width, int decimals, char expLetter, Tiny tiny) {
    if (!std::isfinite(v)) return std::string(static_cast<std::size_t>(width), '*');
    if (v == 0.0 || (tiny == Tiny::kZero && std::fabs(v) < 1e-99)) v = 0.0;
    // std::to_chars rounds the exact binary value as printf's %E does and
    // writes the same digits and exponent, several times faster.
    for (int dec = decimals; dec >= 0; --dec) {
        char buf[64];
        const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, dec);
        const int size = static_cast<int>(r.ptr - buf);
        if (r.ec != std::errc() || size > width) continue;
        std::string out(static_cast<std::size_t>(width - size), ' ');
        out.append(buf, r.ptr);
        for (std::size_t i = out.size() - static_cast<std::size_t>(size); i < out.size(); ++i)
            if (out[i] == 'e') out[i] = expLetter;
        return out;
    }
    return std::string(static_cast<std::size_t>(width), '*');
}

std::string FormatF(double v, int width, int decimals) {
    if (!std::isfinite(v) || std::fabs(v) > 1e30) return std::string(static_cast<std::size_t>(width), '*');
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);  // no "-0.000"
    if (static_cast<int>(s.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
    return RightAligned(s, width);
}

}  // namespace fluvena::engine
