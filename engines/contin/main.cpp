// contin.exe: reads a control deck on standard input and writes the listing
// on standard output. Exits with status 0 after a listing, 3 when the listing
// cannot be written whole (a full disk, for instance).
#include "ContinEngine.h"

#include <malloc.h>

#include <cstdio>
#include <string>

int main() {
    // One run allocates and frees matrices of up to a few megabytes many
    // times over; kept on the heap rather than mapped and unmapped each
    // time, their pages are faulted in once.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, 64 << 20);
    std::string input;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) {
        input.append(buf, n);
        if (input.size() > (64u << 20)) break;  // far beyond any deck the product writes
    }
    std::string listing;
    try {
        listing = fluvena::contin::RunContin(input);
    } catch (...) {
        listing = "0ERROR: THE ANALYSIS COULD NOT BE COMPLETED. NO SOLUTION.\n";
    }
    const bool written = std::fwrite(listing.data(), 1, listing.size(), stdout) == listing.size();
    const bool flushed = std::fflush(stdout) == 0;
    return written && flushed && !std::ferror(stdout) ? 0 : 3;
}
