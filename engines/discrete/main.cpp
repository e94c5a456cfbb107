// discrete.exe: reads a DISCRETE deck on standard input and prints the
// listing on standard output. It exits with 0 after a listing; a deck that
// cannot be analysed gets a listing that says why. When the listing cannot
// be written whole (a full disk, for instance) it exits with 3.
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
    const bool written = std::fwrite(listing.data(), 1, listing.size(), stdout) == listing.size();
    const bool flushed = std::fflush(stdout) == 0;
    return written && flushed && !std::ferror(stdout) ? 0 : 3;
}
