#pragma once
// Reads a CONTIN listing by its fixed markers and columns.
#include "core/Solutions.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

struct ContinListing {
    enum class Status {
        Ok,          // every solution and the final printout of the chosen one were read
        Rejected,    // CONTIN refused the deck ("CHECK USERS GUIDE")
        Incomplete,  // the listing breaks off, or its final printout repeats no solution
    };
    Status status = Status::Ok;
    std::vector<ContinSolution> solutions;  // all of them when Ok, none otherwise
    std::size_t chosen = 0;                 // the solution the final printout repeats
    // Rejected: the program's own words; Incomplete: what is missing.
    std::string reason;
};

// text: the listing with CR LF line ends. fitRows and gridRows are the rows
// of each solution's fit table (the points analysed) and distribution table
// (the grid points). Times are read as printed, in the deck's time unit.
ContinListing ParseContinListing(std::string_view text, std::size_t fitRows, std::size_t gridRows);

}  // namespace fluvena
