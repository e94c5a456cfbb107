#pragma once
// Reads a CONTIN listing by its fixed markers and columns.
#include "core/Workspace.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace fluvena {

struct ContinParse {
    enum class Status {
        Ok,         // every counted solution was read
        Rejected,   // "CHECK USERS GUIDE": CONTIN refused the deck
        Truncated,  // a marker or a field lies beyond the text: the solutions
                    // before the break are kept, the broken one is dropped
    };
    Status status = Status::Ok;
    std::vector<ContinSolution> solutions;
    std::int32_t chosen = 0;  // ChosenSolution after the chosen-solution rule
};

// text: the listing with CR LF line ends. rangeCount and gridPoints fix the
// rows read per fit and distribution table; previousChosen is kept as the
// chosen index when no solution matches the final printout.
ContinParse ParseContinListing(std::string_view text, std::int32_t rangeCount, std::int32_t gridPoints,
                               std::int32_t previousChosen);

// What the run does to the workspace with a parse: Rejected sets
// SolutionCount 0 (the old records become unreachable); otherwise
// LastAnalysis 1, the new records, SolutionCount and ChosenSolution.
void ApplyContinParse(Workspace& ws, ContinParse parse);

// The solution view of one position of UpDown1: what the window shows.
struct ContinView {
    bool error = false;          // no solution to show: Label1 "BŁĄD", nothing else changes
    std::int32_t current = 0;    // CurrentSolution (the position brought into the set)
    bool chosen = false;         // Label1 red
    std::int32_t columnCount = 1;  // StringGrid1 columns: peakCount + 1
    // cells[col][row] of StringGrid1 for columns 0 ... peakCount, rows 0 ... 5
    // (cell [0][0] is never written: empty). 8-bit text.
    std::vector<std::vector<std::string>> cells;
    std::string label4;          // "Probe1=" + prob1ToReject as "0.000"
    std::size_t fitRows = 0;     // points of SeriesFid: min(RangeCount, record size)
    std::size_t distRows = 0;    // points of SeriesRozklad: min(ContinGridPoints, record size)
    const ContinSolution* record = nullptr;
};

// Sets ws.CurrentSolution (unless error) and returns the view.
ContinView MakeContinView(Workspace& ws, std::int32_t position, char decimalSeparator);

}  // namespace fluvena
