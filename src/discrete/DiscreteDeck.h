#pragma once
// The DISCRETE control deck and the defaults of its advanced switches.
#include "core/Workspace.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

// LAST, REGINT, NOBASE, NONEG, PRY, PRPREL, PRFINL, PLOTRS, REPEAT.
using DiscreteSwitches = std::array<bool, 9>;
inline constexpr DiscreteSwitches kDefaultSwitches = {true, false, false, true, false, false, true, true, false};
inline constexpr const char* kDefaultWeight = "2";

// The deck lines (3 + 2 * RangeCount, no line ends). Converts edit4 into
// ws.MaxComponents, edit5 into ws.WeightOption, edit6 into ws.MaxTries, in
// that order; a failing conversion throws ConversionError with the values
// before it stored. Expects data loaded and the range refreshed.
std::vector<std::string> BuildDiscreteDeck(Workspace& ws, const DiscreteSwitches& switches, std::string_view edit4,
                                           std::string_view edit5, std::string_view edit6);

}  // namespace fluvena
