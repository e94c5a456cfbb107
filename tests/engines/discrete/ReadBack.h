#pragma once
// The engine's listing for a deck as the product reads it: line ends turned
// to CR LF, then the product's parser over the deck's own points.
#include "discrete/DeckReader.h"
#include "discrete/DiscreteListing.h"
#include "discrete/Listing.h"

#include <string>
#include <string_view>

namespace fluvena::discrete::test {

inline std::string ToCrLf(std::string_view lf) {
    std::string out;
    for (std::size_t i = 0; i < lf.size(); ++i) {
        if (lf[i] == '\n' && (i == 0 || lf[i - 1] != '\r')) out += '\r';
        out += lf[i];
    }
    return out;
}

inline DiscreteListing ReadBack(const std::string& deck) {
    const ReadOutcome in = ReadDataSet(deck);
    const std::string listing = ToCrLf(RunDeck(deck));
    if (!in.set) return ParseDiscreteListing(listing, {}, {});
    return ParseDiscreteListing(listing, in.set->t, in.set->y);
}

}  // namespace fluvena::discrete::test
