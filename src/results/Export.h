#pragma once
// The tables the two "Zapisz" buttons of the charts write.
#include "core/Workspace.h"

#include <string>
#include <vector>

namespace fluvena {

// "X\tYexp\tYfit", then one line per point of the range. A fitted value the
// solution on show does not hold is written as 0.
std::vector<std::string> FitExportTable(const Workspace& ws, char decimalSeparator);

// "X\tYfit", then ContinGridPoints lines: the CONTIN distribution on show (or
// the last CONTIN distribution after a DISCRETE run, while it exists), else
// the index and 0.
std::vector<std::string> DistributionExportTable(const Workspace& ws, char decimalSeparator);

}  // namespace fluvena
