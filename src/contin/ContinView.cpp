#include "ContinListing.h"

#include "base/NumberFormat.h"

#include <algorithm>
#include <cstdint>

namespace fluvena {

namespace {

// Row captions of the peak table (Windows-1250 text).
constexpr const char* kCaptions[] = {
    "Intensywnosc",
    "B\xB3\xB9" "d % int",  // "Błąd % int"
    "Polozenie",
    "B\xB3\xB9" "d % pol",  // "Błąd % pol"
    "Szerokosc",
};

}  // namespace

ContinView MakeContinView(Workspace& ws, std::int32_t position, char decimalSeparator)
{
    ContinView view;
    // Only CONTIN records that exist may be shown: SolutionCount may belong
    // to a DISCRETE run, or the records may have been released by a reset.
    const std::int32_t available =
        static_cast<std::int32_t>(std::min<std::size_t>(ws.ContinSolutions.size(), INT32_MAX));
    const std::int32_t n = std::min(ws.SolutionCount, available);
    if (ws.SolutionCount <= 0 || n <= 0 || ws.LastAnalysis != kContin) {
        view.error = true;
        return view;
    }

    view.current = std::clamp(position, 0, n - 1);
    ws.CurrentSolution = view.current;
    ws.ContinOnChart = view.current;
    view.chosen = view.current == ws.ChosenSolution;

    const ContinSolution& s = ws.ContinSolutions[static_cast<std::size_t>(view.current)];
    view.record = &s;

    // The five peak arrays hold peakCount values when the parser made the
    // record; never trust the count beyond the arrays.
    const std::size_t peaks = std::min({static_cast<std::size_t>(std::max(s.peakCount, 0)), s.peakIntensity.size(),
                                        s.peakIntensityErr.size(), s.peakPosition.size(),
                                        s.peakPositionErr.size(), s.peakWidth.size()});
    view.columnCount = static_cast<std::int32_t>(peaks) + 1;

    view.fitRows = ws.RangeCount > 0 ? std::min({static_cast<std::size_t>(ws.RangeCount), s.fitX.size(), s.fitY.size()})
                                     : 0;
    view.distRows = ws.ContinGridPoints > 0
                        ? std::min({static_cast<std::size_t>(ws.ContinGridPoints), s.distX.size(), s.distY.size()})
                        : 0;

    view.label4 = "Probe1=" + FormatFloat(s.prob1ToReject, Pattern::F3, decimalSeparator);

    view.cells.assign(peaks + 1, std::vector<std::string>(6));
    for (std::size_t r = 0; r < 5; ++r) view.cells[0][r + 1] = kCaptions[r];
    for (std::size_t k = 0; k < peaks; ++k) {
        std::vector<std::string>& col = view.cells[k + 1];
        col[0] = "Peak " + FormatInt(static_cast<std::int64_t>(k) + 1);
        col[1] = FormatFloat(s.peakIntensity[k], Pattern::E4, decimalSeparator);
        col[2] = FormatFloat(s.peakIntensityErr[k], Pattern::E4, decimalSeparator);
        col[3] = FormatFloat(s.peakPosition[k], Pattern::E4, decimalSeparator);
        col[4] = FormatFloat(s.peakPositionErr[k], Pattern::E4, decimalSeparator);
        col[5] = FormatFloat(s.peakWidth[k], Pattern::E4, decimalSeparator);
    }
    return view;
}

}  // namespace fluvena
