// Any input must give a listing: the deck reader, the solver and the
// listing writer may neither crash, hang nor print nothing.
#include "ContinEngine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string listing = fluvena::contin::RunContin(std::string(reinterpret_cast<const char*>(data), size));
    if (listing.empty()) std::abort();
    return 0;
}
