#include "discrete/DiscreteListing.h"

#include "base/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace fluvena {

namespace {

// Ł, ł, ą in Windows-1250.
const std::string kIntensity = "Intensywnosc";
const std::string kIntensityErr = "B\xB3\xB9" "d % int";
const std::string kRate = "1/Czas";
const std::string kRateErr = "B\xB3\xB9" "d % 1/Czas";
const std::string kTime = "Czas";
const std::string kTimeErr = "B\xB3\xB9" "d % czasu";
const std::string kComponent = "Sk\xB3" "adowa ";

// A table cell: empty where the value is not a finite number (a time of a
// zero rate, a value that overflowed in the listing).
std::string Cell(double value, char separator)
{
    return std::isfinite(value) ? FormatFloat(value, Pattern::E4, separator) : std::string();
}

}  // namespace

DiscreteView MakeDiscreteView(Workspace& ws, std::int32_t position, bool rates, char decimalSeparator)
{
    DiscreteView view;
    // SolutionCount and the records belong to this view only after a DISCRETE
    // run; a CONTIN run or a reset leaves nothing of ours to show.
    const std::size_t n = ws.LastAnalysis == kDiscrete && ws.SolutionCount > 0
                              ? std::min(static_cast<std::size_t>(ws.SolutionCount), ws.DiscreteSolutions.size())
                              : 0;
    if (n == 0) {
        view.error = true;
        return view;
    }

    view.current = std::clamp<std::int32_t>(position, 0, static_cast<std::int32_t>(n - 1));
    ws.CurrentSolution = view.current;
    const RozwiazanieDisc& r = ws.DiscreteSolutions[static_cast<std::size_t>(view.current)];
    view.record = &r;
    view.first = view.current == 0;

    // The component arrays are all of componentCount elements when parsed;
    // the smallest of them bounds the table all the same.
    const std::size_t c = std::min({static_cast<std::size_t>(std::max(r.componentCount, 0)), r.amplitude.size(),
                                    r.amplitudeErr.size(), r.rate.size(), r.rateErr.size()});
    view.columnCount = static_cast<std::int32_t>(c) + 1;
    view.cells.assign(c + 1, std::vector<std::string>(5));
    view.cells[0][1] = kIntensity;
    view.cells[0][2] = kIntensityErr;
    view.cells[0][3] = rates ? kRate : kTime;
    view.cells[0][4] = rates ? kRateErr : kTimeErr;
    for (std::size_t j = 0; j < c; ++j) {
        auto& col = view.cells[j + 1];
        col[0] = kComponent + FormatInt(static_cast<std::int64_t>(j) + 1);
        col[1] = Cell(r.amplitude[j], decimalSeparator);
        // The listing's error columns hold percent errors; the percent error
        // of a decay time equals, to first order, that of its rate, so the
        // error row is the same in both views.
        col[2] = Cell(r.amplitudeErr[j], decimalSeparator);
        if (rates) {
            col[3] = Cell(r.rate[j], decimalSeparator);
        } else {
            col[3] = r.rate[j] != 0.0 ? Cell(1.0 / r.rate[j], decimalSeparator) : std::string();
        }
        col[4] = Cell(r.rateErr[j], decimalSeparator);
    }

    view.label5 = "PUNC=" + (std::isfinite(r.punc) ? FormatFloat(r.punc, Pattern::F3, decimalSeparator) : std::string());
    view.label6 = FormatInt(view.current);
    const std::size_t wanted = ws.RangeCount > 1 ? static_cast<std::size_t>(ws.RangeCount) - 1 : 0;
    view.seriesPoints = std::min({wanted, r.fitX.size(), r.fitY.size(), r.residual.size()});
    return view;
}

}  // namespace fluvena
