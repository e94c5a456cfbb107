#include "Export.h"

#include "base/NumberFormat.h"

#include <cmath>
#include <algorithm>
#include <cstddef>

namespace fluvena {

namespace {

std::string Row(std::initializer_list<double> values, char sep)
{
    std::string row;
    for (double v : values) {
        if (!row.empty()) row += '\t';
        row += FormatFloat(v, Pattern::E3, sep);
    }
    return row;
}

// Whether a fit row of the record on show was computed for this data point.
// A DISCRETE record holds copies of the abscissae it was fitted at, so they
// must match exactly. A CONTIN record holds the abscissae as the listing
// prints them: the deck carries five decimals and the fit table three
// significant digits, so they match the data within that printing.
bool FitRowBelongs(double recordX, double dataX, bool printed)
{
    if (!printed) return recordX == dataX;
    if (!std::isfinite(recordX) || !std::isfinite(dataX)) return false;
    const double scale = std::fmax(std::fabs(recordX), std::fabs(dataX));
    return std::fabs(recordX - dataX) <= 0.0051 * scale + 1e-5;
}

}  // namespace

std::vector<std::string> FitExportTable(const Workspace& ws, char decimalSeparator)
{
    std::vector<std::string> lines{"X\tYexp\tYfit"};

    const std::vector<double>* fitX = nullptr;
    const std::vector<double>* fitY = nullptr;
    bool printed = false;
    if (ws.LastAnalysis == kContin) {
        if (const ContinSolution* rec = ws.ContinOnShow()) {
            fitX = &rec->fitX;
            fitY = &rec->fitY;
            printed = true;
        }
    } else if (ws.LastAnalysis == kDiscrete) {
        if (const RozwiazanieDisc* rec = ws.DiscreteOnShow()) {
            fitX = &rec->fitX;
            fitY = &rec->fitY;
        }
    }

    // Only loaded points are written, whatever RangeCount says.
    const std::size_t loaded = ws.PointCount > 0
                                   ? std::min({static_cast<std::size_t>(ws.PointCount), ws.DataX.size(), ws.DataY.size()})
                                   : 0;
    for (std::int32_t k = 0; k < ws.RangeCount; ++k) {
        const std::int64_t i = static_cast<std::int64_t>(ws.FirstPoint) + k;
        if (i < 0 || static_cast<std::size_t>(i) >= loaded) break;
        const double x = ws.DataX[static_cast<std::size_t>(i)];
        const double y = ws.DataY[static_cast<std::size_t>(i)];
        double fit = 0.0;
        const auto row = static_cast<std::size_t>(k);
        if (fitY && row < fitY->size() && row < fitX->size() && FitRowBelongs((*fitX)[row], x, printed))
            fit = (*fitY)[row];
        lines.push_back(Row({x, y, fit}, decimalSeparator));
    }
    return lines;
}

std::vector<std::string> DistributionExportTable(const Workspace& ws, char decimalSeparator)
{
    std::vector<std::string> lines{"X\tYfit"};

    const ContinSolution* rec = nullptr;
    if (ws.LastAnalysis == kContin) {
        rec = ws.ContinOnShow();
    } else if (ws.LastAnalysis == kDiscrete) {
        // The distribution chart still shows the last CONTIN result while its
        // records exist.
        if (ws.ContinOnChart >= 0 && static_cast<std::size_t>(ws.ContinOnChart) < ws.ContinSolutions.size())
            rec = &ws.ContinSolutions[static_cast<std::size_t>(ws.ContinOnChart)];
    }

    for (std::int32_t j = 0; j < ws.ContinGridPoints; ++j) {
        const auto row = static_cast<std::size_t>(j);
        if (rec && row < rec->distX.size() && row < rec->distY.size())
            lines.push_back(Row({rec->distX[row], rec->distY[row]}, decimalSeparator));
        else
            lines.push_back(Row({static_cast<double>(j), 0.0}, decimalSeparator));
    }
    return lines;
}

}  // namespace fluvena
