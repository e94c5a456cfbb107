#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fluvena {

namespace {

int Decimals(Pattern p)
{
    switch (p) {
    case Pattern::E2: return 2;
    case Pattern::E3: return 3;
    case Pattern::E4: return 4;
    case Pattern::F5: return 5;
    case Pattern::F3: return 3;
    case Pattern::F2: return 2;
    }
    return 0;
}

bool Scientific(Pattern p) { return p == Pattern::E2 || p == Pattern::E3 || p == Pattern::E4; }

}  // namespace

// The value is first written with 18 significant decimal digits (the
// precision of the 80-bit arithmetic the file formats come from), then
// rounded half away from zero to the pattern's places. A double that lies
// just below a tie rounds down (0.146635 is stored as 0.14663499999999999...
// and written 0.14663, as in every deck of the reference programs), an exact
// tie such as 0.015625 rounds up.
std::string FormatFloat(double value, Pattern pattern, char decimalSeparator)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    const int decimals = Decimals(pattern);
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);

    // digits: 18 significant digits d0 d1 ...; value = d0.d1d2... * 10^exponent.
    std::string digits;
    int exponent = 0;
    if (magnitude != 0.0) {
        char buf[64];
        // to_chars does not follow the C locale (the window sets it).
        const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 17);
        const std::string s(buf, r.ptr);
        const auto e = s.find('e');
        for (std::size_t k = 0; k < e; ++k)
            if (s[k] != '.') digits += s[k];
        exponent = std::atoi(s.c_str() + e + 1);
    }

    // Keep `keep` leading digits, rounding half up on the next one.
    auto roundTo = [&](int keep) {
        if (digits.empty()) return;
        if (keep < 0) { digits.clear(); return; }
        if (keep >= static_cast<int>(digits.size())) {
            digits.append(static_cast<std::size_t>(keep) - digits.size(), '0');
            return;
        }
        const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') digits[static_cast<std::size_t>(k--)] = '0';
            if (k >= 0) {
                ++digits[static_cast<std::size_t>(k)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
                if (!Scientific(pattern)) return;  // one more integer digit
                digits.pop_back();
            }
        }
        if (digits.find_first_not_of('0') == std::string::npos) digits.clear();
    };

    std::string out;
    if (Scientific(pattern)) {
        roundTo(decimals + 1);
        if (digits.empty()) {
            digits.assign(static_cast<std::size_t>(decimals + 1), '0');
            exponent = 0;
        }
        out = digits.substr(0, 1);
        out += decimalSeparator;
        out += digits.substr(1);
        char expBuf[16];
        std::snprintf(expBuf, sizeof expBuf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += expBuf;
    } else {
        roundTo(exponent + 1 + decimals);
        // Place the kept digits: the first stands for 10^exponent.
        std::string intPart, fracPart;
        if (digits.empty()) {
            intPart = "0";
            fracPart.assign(static_cast<std::size_t>(decimals), '0');
        } else {
            const int intDigits = exponent + 1;
            if (intDigits <= 0) {
                intPart = "0";
                fracPart = std::string(static_cast<std::size_t>(-intDigits), '0') + digits;
            } else {
                intPart = digits.substr(0, static_cast<std::size_t>(intDigits));
                fracPart = digits.substr(static_cast<std::size_t>(intDigits));
            }
            fracPart.resize(static_cast<std::size_t>(decimals), '0');
        }
        out = intPart;
        if (decimals > 0) {
            out += decimalSeparator;
            out += fracPart;
        }
    }
    // A value that rounds to zero is written without a sign.
    if (negative && !digits.empty()) out.insert(out.begin(), '-');
    return out;
}

std::string FormatInt(std::int64_t value) { return std::to_string(value); }

}  // namespace fluvena
