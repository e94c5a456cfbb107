#pragma once
// The DISCRETE control deck: title, switches with NLAMMX, IWT and MTRY, the
// number of points, the abscissae and the ordinates.
#include "core/Requests.h"

#include <span>
#include <string>
#include <vector>

namespace fluvena {

// The deck lines (3 + 2 N, no line ends) for the points (x, y).
std::vector<std::string> BuildDiscreteDeck(const DiscreteRequest& request, std::span<const double> x,
                                           std::span<const double> y);

}  // namespace fluvena
