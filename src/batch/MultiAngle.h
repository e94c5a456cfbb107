#pragma once
// "multiangle": the mean decay rate of every measurement (cumulants or
// CONTIN's main peak), then the weighted straight-line fit of the apparent
// diffusion coefficient against q^2 and its extrapolation to q -> 0.
#include "Inputs.h"

#include <string>
#include <vector>

namespace fluvena::batch {

// The JSON object of the whole set.
std::string MultiAngleJson(const std::vector<InputResult>& records, const Options& o);
// The measurements' table (the usual columns and the apparent diffusion
// coefficient, apparent radius and inclusion of each), a blank line, and a
// one-row table of the fit.
std::string MultiAngleTable(const std::vector<InputResult>& records, const Options& o);
// One line for the text output; true in `ok` when the fit was made.
std::string MultiAngleText(const std::vector<InputResult>& records, const Options& o, char sep, bool& ok);

}  // namespace fluvena::batch
