// Any bytes must give either points that keep the reader's promises (finite
// values, times not negative and growing, as many values as times) or a
// failure with a message; never a crash or a read outside the input.
#include "io/DataReader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace fluvena::io;

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

void CheckSeries(const std::vector<double>& time, const std::vector<double>& value)
{
    Require(time.size() == value.size());
    for (std::size_t i = 0; i < time.size(); ++i) {
        Require(std::isfinite(time[i]) && std::isfinite(value[i]) && time[i] >= 0);
        Require(i == 0 || time[i] > time[i - 1]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the format and the columns, the rest is the file.
    if (size == 0) return 0;
    ReadOptions options;
    options.format = static_cast<FormatChoice>(data[0] % 3);
    options.xColumn = 1 + (data[0] >> 2) % 3;
    options.yColumn = 1 + (data[0] >> 4) % 4;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto r = ReadDataFile(bytes, options);
    if (!r.ok()) {
        Require(!r.failure().message().empty() && r.failure().line >= 0);
        return 0;
    }
    const DataFile& d = r.value();
    Require(!d.x.empty() && d.headerLines >= 0 && d.columnCount >= 2);
    CheckSeries(d.x, d.y);
    if (d.format == FileFormat::Alv) {
        Require(d.instrument.has_value() && !d.instrument->channels.empty());
        for (const auto& rate : d.countRate.rateKHz) CheckSeries(d.countRate.timeS, rate);
    } else {
        Require(d.columnCount >= std::max(options.xColumn, options.yColumn));
    }
    return 0;
}
