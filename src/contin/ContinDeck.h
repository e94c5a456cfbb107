#pragma once
// The CONTIN control deck: title, fixed control cards, the grid, END, NY and
// the analysed points.
#include "core/Requests.h"

#include <span>
#include <string>
#include <vector>

namespace fluvena {

// The deck lines (27 + 2 N of them, no line ends) for the points (x, y).
// Abscissae and grid bounds are written multiplied by timeScale, so that a
// deck can carry short lag times in a smaller unit. Numbers always carry a
// point. With weights (one a point), the deck asks for weights read with
// the data (IWT 4 and its format IFORMW) and lists them after the ordinates:
// 30 + 3 N lines.
std::vector<std::string> BuildContinDeck(const ContinRequest& request, std::span<const double> x,
                                         std::span<const double> y, double timeScale = 1.0,
                                         std::span<const double> weights = {});

// The deck writes abscissae with five decimals: lag times below 0.01 would
// keep one digit or none. The factor 10^(3k) (k >= 0 smallest) that brings
// the smallest positive abscissa to at least 1 when it is below 0.01, else 1.
double ContinTimeScale(std::span<const double> x);

}  // namespace fluvena
