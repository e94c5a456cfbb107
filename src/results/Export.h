#pragma once
// The tables the two "Zapisz" buttons of the charts write.
#include "core/Distribution.h"
#include "core/Solutions.h"

#include <span>
#include <string>
#include <vector>

namespace fluvena {

// A fitted curve of the solution on show. A CONTIN fit holds the abscissae as
// the listing prints them (three significant digits); a DISCRETE fit holds
// copies of the data's.
struct FitCurve {
    const std::vector<double>& x;
    const std::vector<double>& y;
    bool printed;
};

// "X\tYexp\tYfit", then one line per point (x, y) of the range. A fitted
// value the curve does not hold for that point is written as 0.
std::vector<std::string> FitExportTable(std::span<const double> x, std::span<const double> y, const FitCurve* fit,
                                        char decimalSeparator);

// "X\tYfit", then `rows` lines: the CONTIN distribution drawn (rows beyond it,
// or every row without one, as the index and 0).
std::vector<std::string> DistributionExportTable(const ContinSolution* drawn, std::size_t rows, char decimalSeparator);

// The distribution on another axis or weighting than CONTIN's own: a header
// naming the axis and the weighting, then x, y and the standard error of y on
// every line.
std::vector<std::string> DistributionExportTable(const DistributionCurve& curve, DistributionAxis axis,
                                                 DistributionWeighting weighting, char decimalSeparator);

}  // namespace fluvena
