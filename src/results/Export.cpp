#include "Export.h"

#include "base/NumberFormat.h"

#include <algorithm>
#include <cmath>
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

std::vector<std::string> FitExportTable(std::span<const double> x, std::span<const double> y, const FitCurve* fit,
                                        char decimalSeparator)
{
    std::vector<std::string> lines{"X\tYexp\tYfit"};
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t k = 0; k < n; ++k) {
        double value = 0.0;
        if (fit && k < fit->y.size() && k < fit->x.size() && FitRowBelongs(fit->x[k], x[k], fit->printed))
            value = fit->y[k];
        lines.push_back(Row({x[k], y[k], value}, decimalSeparator));
    }
    return lines;
}

std::vector<std::string> DistributionExportTable(const ContinSolution* drawn, std::size_t rows, char decimalSeparator)
{
    std::vector<std::string> lines{"X\tYfit"};
    for (std::size_t j = 0; j < rows; ++j) {
        if (drawn && j < drawn->distX.size() && j < drawn->distY.size())
            lines.push_back(Row({drawn->distX[j], drawn->distY[j]}, decimalSeparator));
        else
            lines.push_back(Row({static_cast<double>(j), 0.0}, decimalSeparator));
    }
    return lines;
}

std::vector<std::string> DistributionExportTable(const DistributionCurve& curve, DistributionAxis axis,
                                                 DistributionWeighting weighting, char decimalSeparator)
{
    const bool radius = axis == DistributionAxis::Radius;
    const bool perLn = weighting == DistributionWeighting::PerLnTau;
    std::vector<std::string> lines{std::string(radius ? "Rh_nm" : "tau") + "\t" + (perLn ? "tau*G(tau)" : "G(tau)") +
                                   "\terr"};
    const std::size_t n = std::min({curve.x.size(), curve.y.size(), curve.err.size()});
    for (std::size_t j = 0; j < n; ++j) lines.push_back(Row({curve.x[j], curve.y[j], curve.err[j]}, decimalSeparator));
    return lines;
}

}  // namespace fluvena
