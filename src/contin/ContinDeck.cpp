#include "contin/ContinDeck.h"

#include "base/NumberFormat.h"

#include <algorithm>
#include <cmath>

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

// The physical constants. The kernel exp(-t/g) does not use
// them; other CONTIN programs and stored decks rely on them as they stand.
constexpr const char* kTail[] = {
    " RUSER    16     488.0",
    " RUSER    17      90.0",
    " RUSER    18    293.16",
    " RUSER    15     1.332",
    " RUSER    19     1.006",
};

// Least-squares weights read with the data, one a line after the ordinates.
constexpr const char* kWeightCards[] = {
    " IWT                     4.",
    " IFORMW",
    " (E15.6)",
};

// Asks the bundled engine for the signal-weighted regularizer; the classic
// program does not know the card and rejects the deck with its own message.
constexpr const char* kSignalCard = " SIGREG                  1.";

std::string Fixed5(double value) { return FormatFloat(value, Pattern::F5, '.'); }
std::string Sci2(double value) { return FormatFloat(value, Pattern::E2, '.'); }

}  // namespace

Outcome<ContinRequest> CheckContinRequest(const ContinRequest& request)
{
    if (request.gridPoints < kMinGridPointsInDeck || request.gridPoints > kMaxGridPointsInDeck)
        return Fail("NG = %1 does not fit the deck's field for the number of grid points (%2 ... %3)",
                    {FormatInt(request.gridPoints), FormatInt(kMinGridPointsInDeck), FormatInt(kMaxGridPointsInDeck)});
    return request;
}

std::vector<std::string> BuildContinDeck(const ContinRequest& request, std::span<const double> x,
                                         std::span<const double> y, double timeScale, std::span<const double> weights)
{
    const std::size_t n = std::min(x.size(), y.size());
    const bool weighted = !weights.empty() && weights.size() >= n;
    std::vector<std::string> deck;
    deck.reserve(27 + 2 * n);
    for (const char* line : kHead) deck.emplace_back(line);
    deck.push_back(" GMNMX     1       " + Sci2(request.gridMin * timeScale));
    deck.push_back(" GMNMX     2       " + Sci2(request.gridMax * timeScale));
    for (const char* line : kMiddle) deck.emplace_back(line);
    deck.push_back(" NG                   " + FormatInt(request.gridPoints) + ".");
    for (const char* line : kTail) deck.emplace_back(line);
    if (request.signalWeighted) deck.emplace_back(kSignalCard);
    if (weighted)
        for (const char* line : kWeightCards) deck.emplace_back(line);
    deck.emplace_back(" END");
    deck.push_back(" NY     " + FormatInt(static_cast<std::int64_t>(n)));
    for (std::size_t i = 0; i < n; ++i) deck.push_back(Fixed5(x[i] * timeScale));
    for (std::size_t i = 0; i < n; ++i) deck.push_back(Fixed5(y[i]));
    if (weighted)
        for (std::size_t i = 0; i < n; ++i) deck.push_back(FormatFloat(weights[i], Pattern::E4, '.'));
    return deck;
}

double ContinTimeScale(std::span<const double> x)
{
    double smallest = HUGE_VAL;
    for (const double v : x)
        if (v > 0.0 && v < smallest) smallest = v;
    if (!(smallest < 0.01)) return 1.0;
    double scale = 1.0;
    while (smallest * scale < 1.0 && scale < 1e300) scale *= 1000.0;
    return scale;
}

}  // namespace fluvena
