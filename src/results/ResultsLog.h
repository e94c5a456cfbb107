#pragma once
// The results log: one line per "Zapamiętaj" click, header first on an empty
// memo. Lines are 8-bit text without line ends.
#include "core/Workspace.h"

#include <optional>
#include <string>

namespace fluvena {

struct LogInput {
    std::string paramName;  // Edit7 / Edit9, 8-bit text
    std::string value;      // Edit8 / Edit10, UTF-8 as typed
    bool inverse = false;   // "1000/T"
    bool rates = false;     // "D/T" (DISCRETE only)
    char decimalSeparator = '.';
};

// One click, step by step: the header to append (when the memo was empty),
// then either an error that ends the click (no line, no file write), or the
// data line, or noResult (Label1 "BŁĄD"; the file is still written).
struct LogClick {
    std::optional<std::string> header;
    std::optional<std::string> error;  // message for the message box (UTF-8)
    std::optional<std::string> line;
    bool noResult = false;
};

// A result that is not CONTIN's (LastAnalysis), or a CurrentSolution outside
// the CONTIN set, takes the noResult path.
LogClick ContinLogClick(Workspace& ws, bool memoEmpty, const LogInput& in);
LogClick DiscreteLogClick(Workspace& ws, bool memoEmpty, const LogInput& in);

}  // namespace fluvena
