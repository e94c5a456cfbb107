#pragma once
// The results series of one analysis: the lines of its results log, data
// lines in blocks, each block under its own header. A "Zapamiętaj" click
// (ResultsLog.h) is applied here: a click whose header labels the columns
// otherwise than the block's header (another series parameter, "1/" added or
// dropped, decay times instead of rates, another analysis) starts a new
// block under its own header, so no value ever stands under another's label.
// A header that only has more or fewer component groups than the block's
// labels the common columns alike and starts no block.
//
// Each analysis keeps a series of its own (the window: one per log file,
// tempCont.txt, tempDisc.txt, tempCum.txt); fluvena-batch continues the
// series its --log file holds.
#include "core/Solutions.h"
#include "physics/Sample.h"
#include "results/ResultsLog.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace fluvena {

class ResultsSeries {
public:
    ResultsSeries() = default;
    // The series a log holding these lines (8-bit text, no line ends) holds:
    // a line of two or more cells, one of which is neither a number nor
    // blank, is a header.
    explicit ResultsSeries(std::vector<std::string> lines);

    const std::vector<std::string>& Lines() const { return lines_; }
    bool Empty() const { return lines_.empty(); }
    // The header of the block the next data line would join; none before
    // the first header.
    const std::optional<std::string>& Header() const { return header_; }

    // What one click did: the lines it added (a header first when it began a
    // block), or the error that ended it (no data line; a header it added
    // stays), or noResult (nothing to record: only a header may be added).
    struct Step {
        std::vector<std::string> added;
        std::optional<std::string> error;
        bool noResult = false;
    };

    // The clicks of the three analyses, as ResultsLog.h builds their lines.
    Step RecordContin(const ContinSolution* onShow, const LogInput& in);
    Step RecordDiscrete(const DiscreteSolution* onShow, std::size_t groups, const LogInput& in);
    Step RecordCumulants(const CumulantResult* onShow, const SampleParameters& sample, const LogInput& in);
    // A click built with memoEmpty = true, so that it carries its header.
    Step Apply(const LogClick& click);

private:
    std::vector<std::string> lines_;
    std::optional<std::string> header_;
};

}  // namespace fluvena
