#pragma once
// Reads a DISCRETE listing by its fixed markers and columns and computes each
// solution's fit and residuals over the analysed points.
#include "core/Workspace.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

struct DiscreteParse {
    enum class Status {
        Ok,
        NoTable,    // no "ALPHA +- STD ERR": Label10 "BŁĄD", nothing else changes
        Truncated,  // a later marker or field lies beyond the text: the
                    // solutions before the break are kept; Label10 "BŁĄD"
    };
    Status status = Status::Ok;
    bool uncertain = false;  // the "PROBABILITY THAT THIS SOLUTION ..." sentence: Label10 "Uwaga"
    std::vector<RozwiazanieDisc> solutions;
};

// text: the listing with CR LF line ends; the fit uses DataX/DataY of the
// points ws.FirstPoint ... ws.FirstPoint + ws.RangeCount - 1.
DiscreteParse ParseDiscreteListing(std::string_view text, const Workspace& ws);

// What the run does to the workspace with a parse that is not NoTable:
// LastAnalysis 2, SolutionCount and the new records.
void ApplyDiscreteParse(Workspace& ws, DiscreteParse parse);

// The component view of one position of UpDown2.
struct DiscreteView {
    bool error = false;            // Label10 "BŁĄD", nothing else changes
    std::int32_t current = 0;      // CurrentSolution (position brought into the set)
    bool first = false;            // Label6 red (index 0)
    std::int32_t columnCount = 1;  // StringGrid2 columns: componentCount + 1
    std::vector<std::vector<std::string>> cells;  // [col][row], rows 0 ... 4; [0][0] empty
    std::string label5;            // "PUNC=" + punc as "0.000"
    std::string label6;            // the index in decimal
    std::size_t seriesPoints = 0;  // points of SeriesZero/SeriesFid/SeriesRezidua: RangeCount - 1 (0 if less)
    const RozwiazanieDisc* record = nullptr;
};

// rates: the "D/T" box. Sets ws.CurrentSolution unless error.
DiscreteView MakeDiscreteView(Workspace& ws, std::int32_t position, bool rates, char decimalSeparator);

}  // namespace fluvena
