#pragma once
// The CONTIN control deck: title, fixed control cards, the grid from the
// "Contin" page, END, NY and the selected points.
#include "core/Workspace.h"

#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

// The deck lines (27 + 2 * RangeCount of them, no line ends). Converts edit2
// into ws.ContinGridMax, then edit1 into ws.ContinGridMin (floating point
// with decimalSeparator), then edit3 into ws.ContinGridPoints (integer); a
// failing conversion throws ConversionError with the values converted before
// it already stored. Expects data loaded and the range refreshed (the caller
// handles "no data"). Numbers in the deck always carry a point.
std::vector<std::string> BuildContinDeck(Workspace& ws, std::string_view edit1, std::string_view edit2,
                                         std::string_view edit3, char decimalSeparator);

}  // namespace fluvena
