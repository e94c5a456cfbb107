#include "discrete/DiscreteDeck.h"

#include "base/NumberFormat.h"

#include <algorithm>

namespace fluvena {

std::vector<std::string> BuildDiscreteDeck(const DiscreteRequest& request, std::span<const double> x,
                                           std::span<const double> y, std::span<const double> weights)
{
    const std::size_t n = std::min(x.size(), y.size());
    std::vector<std::string> deck;
    deck.reserve(3 + 2 * n);
    deck.emplace_back("nazwa.in");
    std::string card;
    for (const bool on : request.switches) card += on ? 'T' : 'F';
    card += "  " + FormatInt(request.maxComponents);
    card += "  " + FormatInt(request.weighting);
    card += "  " + FormatInt(request.tries);
    deck.push_back(std::move(card));
    deck.push_back(FormatInt(static_cast<std::int64_t>(n)));
    for (std::size_t k = 0; k < n; ++k) deck.push_back(FormatFloat(x[k], Pattern::E2, '.'));
    for (std::size_t k = 0; k < n; ++k) deck.push_back(FormatFloat(y[k], Pattern::E2, '.'));
    if (!weights.empty() && weights.size() >= n) {
        deck.emplace_back("WEIGHTS");
        for (std::size_t k = 0; k < n; ++k) deck.push_back(FormatFloat(weights[k], Pattern::E3, '.'));
    }
    return deck;
}

}  // namespace fluvena
