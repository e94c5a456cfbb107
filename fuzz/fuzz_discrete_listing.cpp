// libFuzzer target of the DISCRETE listing reader. The first byte chooses how
// many points (up to 15) the fits are computed over, the rest is the listing.
// Seeds: one byte (e.g. 0x0F) followed by tests/data/*.discrete.out with CR
// LF line ends, which is how a run hands a listing to the reader.
#include "discrete/DiscreteListing.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    std::vector<double> x, y;
    for (int k = 0; k < data[0] % 16; ++k) {
        x.push_back(0.5 * k);
        y.push_back(1.0 / (1 + k));
    }
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const fluvena::DiscreteListing p = fluvena::ParseDiscreteListing(text, x, y);
    if (p.status != fluvena::DiscreteListing::Status::Ok && !p.solutions.empty()) __builtin_trap();
    for (const auto& r : p.solutions)
        if (r.fitY.size() != x.size() || r.residual.size() != x.size()) __builtin_trap();
    return 0;
}
