#include "ContinDeck.h"

#include "workspace/Convert.h"
#include "workspace/Errors.h"
#include "workspace/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace fluvena {

namespace {

// The control cards before the grid bounds (title card included).
constexpr const char* kHead[] = {
    "nazwa.in",
    " LAST                    1.",
    " NINTT                   0.",
    " NLINF                   1.",
    " NORDER                  2.",
    " DOUSNQ                  1.",
    " RUSER    10             0.",
    " IUSER    10             4.",
    " RUSER    23             0.",
    " RUSER    22            -1.",
    " RUSER    21             1.",
};

// The cards between the grid bounds and NG.
constexpr const char* kMiddle[] = {
    " LUSER     3            -1.",
    " IPLFIT    2             3.",
    " IFORMT",
    " (F30.10)",
    " IFORMY",
    " (F30.10)",
};

// The physical constants and the end card.
constexpr const char* kTail[] = {
    " RUSER    16     488.0",
    " RUSER    17      90.0",
    " RUSER    18    293.16",
    " RUSER    15     1.332",
    " RUSER    19     1.006",
    " END",
};

// A deck number: "0.00000" (fixed, decimals 5) or "0.00E+00" (scientific,
// decimals 2), always with a point. The value is taken at 18 significant
// digits, the precision of the 80-bit arithmetic the deck format comes from,
// and then rounded half away from zero: the double read for "0.146635" lies
// just below it and is written 0.14663, while an exact tie such as 0.015625
// goes up to 0.01563.
std::string DeckNumber(double value, bool scientific, int decimals)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    std::string digits;
    int exponent = 0;
    const double magnitude = std::fabs(value);
    if (magnitude != 0.0) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 17);
        const std::string s(buf, r.ptr);
        const std::size_t e = s.find('e');
        for (std::size_t k = 0; k < e; ++k)
            if (s[k] != '.') digits += s[k];
        exponent = std::atoi(s.c_str() + e + 1);
    }
    if (!digits.empty()) {
        const int keep = scientific ? decimals + 1 : exponent + 1 + decimals;
        if (keep < 0) {
            digits.clear();
        } else if (keep < static_cast<int>(digits.size())) {
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
                    if (scientific) digits.pop_back();
                }
            }
        } else {
            digits.append(static_cast<std::size_t>(keep) - digits.size(), '0');
        }
        if (digits.find_first_not_of('0') == std::string::npos) digits.clear();
    }

    const bool zero = digits.empty();
    std::string out;
    if (scientific) {
        if (zero) {
            digits.assign(static_cast<std::size_t>(decimals + 1), '0');
            exponent = 0;
        }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out = digits.substr(0, 1) + "." + digits.substr(1) + exp;
    } else if (zero) {
        out = "0." + std::string(static_cast<std::size_t>(decimals), '0');
    } else {
        const int intDigits = exponent + 1;
        std::string fraction;
        if (intDigits <= 0) {
            out = "0";
            fraction = std::string(static_cast<std::size_t>(-intDigits), '0') + digits;
        } else {
            out = digits.substr(0, static_cast<std::size_t>(intDigits));
            fraction = digits.substr(static_cast<std::size_t>(intDigits));
        }
        fraction.resize(static_cast<std::size_t>(decimals), '0');
        out += "." + fraction;
    }
    // A value that rounds to zero carries no sign.
    if (value < 0 && !zero) out.insert(out.begin(), '-');
    return out;
}

std::string Fixed5(double value) { return DeckNumber(value, false, 5); }
std::string Sci2(double value) { return DeckNumber(value, true, 2); }

}  // namespace

std::vector<std::string> BuildContinDeck(Workspace& ws, std::string_view edit1, std::string_view edit2,
                                         std::string_view edit3, char decimalSeparator)
{
    // Order matters: it decides which bad field is reported first, and the
    // values converted before a failure stay stored.
    ws.ContinGridMax = StrToFloat(edit2, decimalSeparator);
    ws.ContinGridMin = StrToFloat(edit1, decimalSeparator);
    ws.ContinGridPoints = StrToInt(edit3);

    // The points handed over: FirstPoint ... LastPoint. An empty or reversed
    // range gives no data lines; a range outside the loaded arrays is refused
    // rather than read.
    const std::int64_t first = ws.FirstPoint;
    const std::int64_t last = ws.LastPoint;
    const std::int64_t count = last >= first ? last - first + 1 : 0;
    if (count > 0 && (first < 0 || last >= static_cast<std::int64_t>(ws.DataX.size()) ||
                      last >= static_cast<std::int64_t>(ws.DataY.size())))
        throw OutOfRange();

    std::vector<std::string> deck;
    deck.reserve(27 + 2 * static_cast<std::size_t>(count));
    for (const char* line : kHead) deck.emplace_back(line);
    deck.push_back(" GMNMX     1       " + Sci2(ws.ContinGridMin));
    deck.push_back(" GMNMX     2       " + Sci2(ws.ContinGridMax));
    for (const char* line : kMiddle) deck.emplace_back(line);
    deck.push_back(" NG                   " + FormatInt(ws.ContinGridPoints) + ".");
    for (const char* line : kTail) deck.emplace_back(line);
    deck.push_back(" NY     " + FormatInt(ws.RangeCount));
    for (std::int64_t i = first; i < first + count; ++i)
        deck.push_back(Fixed5(ws.DataX[static_cast<std::size_t>(i)]));
    for (std::int64_t i = first; i < first + count; ++i)
        deck.push_back(Fixed5(ws.DataY[static_cast<std::size_t>(i)]));
    return deck;
}

}  // namespace fluvena
