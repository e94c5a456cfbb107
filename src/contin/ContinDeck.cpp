#include "ContinDeck.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"

#include <cmath>
#include <cstddef>
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

std::string Fixed5(double value) { return FormatFloat(value, Pattern::F5, '.'); }
std::string Sci2(double value) { return FormatFloat(value, Pattern::E2, '.'); }

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
