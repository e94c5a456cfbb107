// libFuzzer target of the DISCRETE listing parser and the component view.
// The first bytes choose a small workspace (point count, range, abscissae),
// the rest is the listing. Seeds: four bytes (e.g. 0x0F 0x02 0x0E 0x00: 15
// points, all selected) followed by tests/data/*.discrete.out with CR LF line
// ends, which is how the run hands a listing to the parser.
#include "discrete/DiscreteListing.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace fluvena;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    Workspace ws;
    const int points = data[0] % 16;
    for (int k = 0; k < points; ++k) {
        ws.DataX.push_back(0.5 * k);
        ws.DataY.push_back(1.0 / (1 + k));
    }
    ws.PointCount = points;
    ws.SetRange(data[1] % 20 - 2, data[2] % 20 - 2);
    // Now and then a range the arrays do not hold, as a stale workspace might.
    if (data[3] & 0x80) {
        ws.FirstPoint = data[3] % 8;
        ws.RangeCount = data[1] % 24;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);
    auto parse = ParseDiscreteListing(text, ws);
    for (const auto& r : parse.solutions) {
        if (r.amplitude.size() != static_cast<std::size_t>(r.componentCount) ||
            r.rateErr.size() != static_cast<std::size_t>(r.componentCount) ||
            r.fitY.size() != static_cast<std::size_t>(ws.RangeCount > 0 ? ws.RangeCount : 0))
            __builtin_trap();
    }
    ApplyDiscreteParse(ws, std::move(parse));
    for (std::int32_t position : {-1, 0, 1, 5, 1000}) {
        const auto view = MakeDiscreteView(ws, position, (data[3] & 1) != 0, ',');
        if (!view.error && (view.record == nullptr || view.seriesPoints > view.record->fitY.size())) __builtin_trap();
    }
    return 0;
}
