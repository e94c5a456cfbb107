// discrete.exe: reads a DISCRETE deck on standard input and prints the
// listing on standard output. It always exits with 0 after a listing; a deck
// that cannot be analysed gets a listing that says why.
#include "discrete/Listing.h"

#include <cstdio>
#include <string>

int main() {
    std::string deck;
    char buf[65536];
    std::size_t got;
    // A deck of the largest accepted size is well below this; more is not read.
    constexpr std::size_t kMaxInput = std::size_t{64} << 20;
    while ((got = std::fread(buf, 1, sizeof buf, stdin)) > 0 && deck.size() < kMaxInput) deck.append(buf, got);
    const std::string listing = fluvena::discrete::RunDeck(deck);
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    std::fflush(stdout);
    return 0;
}
