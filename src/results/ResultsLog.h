#pragma once
// The results log: one line per "Zapamiętaj" click, header first on an empty
// memo. Lines are 8-bit text without line ends.
#include "core/Solutions.h"
#include "physics/Sample.h"

#include <optional>
#include <string>

namespace fluvena {

struct LogInput {
    std::string paramName;  // the series parameter's name, 8-bit text
    std::string value;      // its value for this measurement, UTF-8 as typed
    bool inverse = false;   // "1000/T"
    bool rates = false;     // "D/T" (DISCRETE only)
    char decimalSeparator = '.';
};

// One click, step by step: the header to append (when the memo was empty),
// then either an error that ends the click (no line, no file write), or the
// data line, or noResult (nothing to record; the file is still written).
struct LogClick {
    std::optional<std::string> header;
    std::optional<std::string> error;  // message for the message box (UTF-8)
    std::optional<std::string> line;
    bool noResult = false;
};

// onShow: the solution on show of that analysis, nullptr when none is (the
// noResult path). A DISCRETE line has `groups` component groups (the largest
// component count asked for last).
LogClick ContinLogClick(const ContinSolution* onShow, bool memoEmpty, const LogInput& in);
LogClick DiscreteLogClick(const DiscreteSolution* onShow, std::size_t groups, bool memoEmpty, const LogInput& in);
// The cumulant log: the parameter, the z-average diameter (nm, from the
// sample), the PDI, the mean decay rate (1/s) and the intercept beta.
LogClick CumulantLogClick(const CumulantResult* onShow, const SampleParameters& sample, bool memoEmpty,
                          const LogInput& in);

}  // namespace fluvena
