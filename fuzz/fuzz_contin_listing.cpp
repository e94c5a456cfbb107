// Feeds arbitrary bytes to the CONTIN listing reader: the first four bytes
// choose the fit and distribution row counts, the rest is the listing. The
// reader must never read outside the text, crash or allocate without bound,
// and a listing it calls complete must hold whole solutions. The reference
// listings serve as seeds as they are:
//   fuzz_contin_listing -max_total_time=300 CORPUS_DIR tests/data
#include "contin/ContinListing.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    // Row counts up to 255 cover the usual sizes and zero; an occasional
    // large count checks the bounded reserve.
    auto count = [](std::uint8_t a, std::uint8_t b) -> std::size_t {
        return (b & 0x0F) == 0x0F ? std::size_t{a} * 100000 : std::size_t{a};
    };
    const std::size_t fitRows = count(data[0], data[1]);
    const std::size_t gridRows = count(data[2], data[3]);
    // Own buffer of exactly the listing's length, so that AddressSanitizer
    // sees any read past its end.
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    const fluvena::ContinListing p = fluvena::ParseContinListing(text, fitRows, gridRows);
    if (p.status != fluvena::ContinListing::Status::Ok) {
        if (!p.solutions.empty()) __builtin_trap();
        return 0;
    }
    if (p.solutions.empty() || p.chosen >= p.solutions.size()) __builtin_trap();
    for (const fluvena::ContinSolution& s : p.solutions)
        if (s.fitY.size() != fitRows || s.fitX.size() != fitRows || s.distY.size() != gridRows) __builtin_trap();
    return 0;
}
