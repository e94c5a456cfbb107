#include "ExportText.h"

#include <algorithm>
#include <array>

namespace fluvena::io {

namespace {

// Windows-1252 at 0x80 ... 0x9F; 0 where the code page has no character
// (those bytes are kept as the C1 control of the same number, as Latin-1 reads them).
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (len == 0 || (len == 2 && c < 0xC2) || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t high = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : 0;
        AppendUtf8(out, high != 0 ? high : static_cast<char32_t>(b));
    }
    return out;
}

std::string ExportTextToUtf8(std::string_view bytes)
{
    std::string out = IsUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
    const std::string_view greekMu = "\xCE\xBC", microSign = "\xC2\xB5";
    for (std::size_t at = out.find(greekMu); at != std::string::npos; at = out.find(greekMu, at + 2))
        out.replace(at, 2, microSign);
    return out;
}

std::size_t LeadingNonCorrelationPoints(const std::vector<double>& lag, const std::vector<double>& value)
{
    const std::size_t n = std::min(lag.size(), value.size());
    std::size_t k = 0;
    while (k < n && !(lag[k] > 0.0 && value[k] >= 0.0 && value[k] <= 2.0)) ++k;
    const std::size_t limit = std::min<std::size_t>(8, n / 4);
    return k <= limit ? k : 0;
}

}  // namespace fluvena::io
