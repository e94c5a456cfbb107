// contin.exe: reads a control deck on standard input and writes the listing
// on standard output. Always exits with status 0 and a listing.
#include "ContinEngine.h"

#include <cstdio>
#include <string>

int main() {
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
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    std::fflush(stdout);
    return 0;
}
