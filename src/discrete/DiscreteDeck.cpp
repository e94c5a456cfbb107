#include "discrete/DiscreteDeck.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"

namespace fluvena {

std::vector<std::string> BuildDiscreteDeck(Workspace& ws, const DiscreteSwitches& switches, std::string_view edit4,
                                           std::string_view edit5, std::string_view edit6)
{
    std::vector<std::string> deck;
    deck.emplace_back("nazwa.in");

    std::string card;
    for (const bool on : switches) card += on ? 'T' : 'F';

    // Each value is stored as soon as it is converted: a failure further on
    // leaves the earlier ones in the workspace, as the user typed them.
    ws.MaxComponents = StrToInt(edit4);
    ws.WeightOption = StrToInt(edit5);
    ws.MaxTries = StrToInt(edit6);

    card += "  " + FormatInt(ws.MaxComponents);
    card += "  " + FormatInt(ws.WeightOption);
    card += "  " + FormatInt(ws.MaxTries);
    deck.push_back(std::move(card));
    deck.push_back(FormatInt(ws.RangeCount));

    // The points FirstPoint ... FirstPoint + RangeCount - 1; a range that the
    // loaded arrays do not hold is refused rather than read past their ends.
    const std::int64_t first = ws.FirstPoint;
    const std::int64_t count = ws.RangeCount > 0 ? ws.RangeCount : 0;
    if (count > 0 && (first < 0 || first + count > static_cast<std::int64_t>(ws.DataX.size()) ||
                      first + count > static_cast<std::int64_t>(ws.DataY.size())))
        throw OutOfRange();

    deck.reserve(deck.size() + 2 * static_cast<std::size_t>(count));
    for (std::int64_t k = 0; k < count; ++k)
        deck.push_back(FormatFloat(ws.DataX[static_cast<std::size_t>(first + k)], Pattern::E2, '.'));
    for (std::int64_t k = 0; k < count; ++k)
        deck.push_back(FormatFloat(ws.DataY[static_cast<std::size_t>(first + k)], Pattern::E2, '.'));
    return deck;
}

}  // namespace fluvena
