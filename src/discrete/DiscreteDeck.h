#pragma once
// The DISCRETE control deck: title, switches with NLAMMX, IWT and MTRY, the
// number of points, the abscissae and the ordinates.
#include "core/Requests.h"

#include <span>
#include <string>
#include <vector>

namespace fluvena {

// The deck lines (3 + 2 N, no line ends) for the points (x, y). With
// weights (one a point), a card WEIGHTS and the N weights follow the
// ordinates (4 + 3 N lines): the bundled engine fits with them in place of
// the IWT rule; a program that stops after the last data set ignores them.
std::vector<std::string> BuildDiscreteDeck(const DiscreteRequest& request, std::span<const double> x,
                                           std::span<const double> y, std::span<const double> weights = {});

}  // namespace fluvena
