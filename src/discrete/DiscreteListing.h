#pragma once
// Reads a DISCRETE listing by its fixed markers and columns and computes each
// solution's fit and residuals over the analysed points.
#include "core/Solutions.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

struct DiscreteListing {
    enum class Status {
        Ok,          // every solution of the summary was read, the last one closed
        Rejected,    // DISCRETE refused the deck ("ERRONEOUS CARD IMAGE")
        NoSolution,  // DISCRETE says, in place of a result, why it gives none
        Incomplete,  // no component table, or the summary breaks off
    };
    Status status = Status::Ok;
    std::vector<DiscreteSolution> solutions;  // best first; all of them when Ok, none otherwise
    bool uncertain = false;  // "PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY"
    std::string uncertainReason;  // that line of the listing, unframed
    // Rejected, NoSolution: the program's own words; Incomplete: what is missing.
    std::string reason;
};

// text: the listing with CR LF line ends; x and y: the analysed points, over
// which each solution's fit and residuals are computed.
DiscreteListing ParseDiscreteListing(std::string_view text, std::span<const double> x, std::span<const double> y);

}  // namespace fluvena
