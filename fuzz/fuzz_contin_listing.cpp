// Feeds arbitrary bytes to the CONTIN listing parser: the first four bytes
// choose the fit and distribution row counts, the rest is the listing. The
// parser must never read outside the text, crash or allocate without bound.
// The reference listings serve as seeds as they are (their first bytes then
// give row counts of 32 and 79):
//   fuzz_contin_listing -max_total_time=300 CORPUS_DIR tests/data
#include "contin/ContinListing.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    // Row counts from -128 to 127 cover the usual sizes and the zero and
    // negative cases; an occasional large count checks the bounded reserve.
    auto count = [](std::uint8_t a, std::uint8_t b) -> std::int32_t {
        const auto small = static_cast<std::int32_t>(static_cast<std::int8_t>(a));
        return (b & 0x0F) == 0x0F ? small * 100000 : small;
    };
    const std::int32_t rangeCount = count(data[0], data[1]);
    const std::int32_t gridPoints = count(data[2], data[3]);
    // Own buffer of exactly the listing's length, so that AddressSanitizer
    // sees any read past its end.
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    const fluvena::ContinParse p = fluvena::ParseContinListing(text, rangeCount, gridPoints, -1);

    for (const fluvena::ContinSolution& s : p.solutions) {
        const auto peaks = static_cast<std::size_t>(s.peakCount);
        if (s.peakIntensity.size() != peaks || s.peakWidth.size() != peaks || s.peakPosition.size() != peaks)
            __builtin_trap();
        if (rangeCount > 0 && s.fitY.size() != static_cast<std::size_t>(rangeCount)) __builtin_trap();
        if (gridPoints > 0 && s.distY.size() != static_cast<std::size_t>(gridPoints)) __builtin_trap();
    }
    if (p.status == fluvena::ContinParse::Status::Rejected && !p.solutions.empty()) __builtin_trap();
    if (p.chosen != -1 && (p.chosen < 0 || static_cast<std::size_t>(p.chosen) >= p.solutions.size())) __builtin_trap();
    return 0;
}
