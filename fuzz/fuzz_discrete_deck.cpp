// Any byte string given to the DISCRETE engine as a deck yields a listing:
// no crash, no hang, never an empty listing, and a rejected deck carries no
// solution table.
#include "discrete/DeckReader.h"
#include "discrete/Listing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view deck(reinterpret_cast<const char*>(data), size);
    const fluvena::discrete::ReadOutcome r = fluvena::discrete::ReadDataSet(deck);
    if (r.set.has_value() == r.rejection.has_value()) std::abort();
    // Full analyses only on small decks, so the fuzzer stays fast; the reader
    // sees every input.
    if (r.set && (r.set->t.size() > 64 || r.set->nlammx > 3 || r.set->mtry > 3)) return 0;
    const std::string listing = fluvena::discrete::RunDeck(deck);
    if (listing.empty() || listing.rfind("1DISCRETE", 0) != 0) std::abort();
    if (r.rejection && listing.find("ALPHA +- STD ERR") != std::string::npos) std::abort();
    return 0;
}
