#pragma once
// The CONTIN control deck: title, fixed control cards, the grid, END, NY and
// the analysed points.
#include "base/Outcome.h"
#include "core/Requests.h"

#include <cstdint>

#include <span>
#include <string>
#include <vector>

namespace fluvena {

// The NG card carries its value in the five columns 23 to 27 (the value
// field of a control card ends at column 27); the point written after it
// lies beyond the field and is not read.
inline constexpr std::int32_t kMinGridPointsInDeck = -9999, kMaxGridPointsInDeck = 99999;

// The request if a deck can carry it as given; else a failure naming the
// value that does not fit, so that nothing is run with another value. What
// the program itself refuses (NG below 2, or above its array size) is left
// to its own message.
Outcome<ContinRequest> CheckContinRequest(const ContinRequest& request);

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
