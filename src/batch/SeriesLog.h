#pragma once
// The results log of a batch series (--log): the window's "Zapamiętaj"
// clicks, written to a file shared with other runs.
#include "Inputs.h"

#include "base/MemoText.h"
#include "io/FileLock.h"
#include "results/LogFile.h"
#include "results/ResultsLog.h"
#include "results/ResultsSeries.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fluvena::batch {

// The results log of the series. Every click re-reads the file under the lock
// of its directory and appends to it, so runs sharing a log keep each other's
// lines; the click continues the series the file holds (a header goes first
// into an absent or empty file, and before a line the file's last header
// would label otherwise).
struct SeriesLog {
    std::filesystem::path path;
    std::vector<std::string> pending;  // lines a failed write could not put out yet

    // Under the lock: `click` gets the series the file holds (with the
    // pending lines) and gives the lines to append (the pending ones go first).
    template <typename Click>
    void Append(const RunControl& control, Click click)
    {
        FileLock lock(LogLockFile(path));
        TakeLock(lock, control);
        const std::string old = ReadLog(path);
        std::vector<std::string> held = SplitLines(old);
        held.insert(held.end(), pending.begin(), pending.end());
        const std::vector<std::string> lines = click(ResultsSeries(std::move(held)));
        pending.insert(pending.end(), lines.begin(), lines.end());
        if (pending.empty()) return;
        AppendToLog(path, old, pending);
        pending.clear();
    }
};

// The "Zapamiętaj" click for the solution asked for. A click that adds no
// line makes the input fail: the series would miss that measurement.
void LogResult(InputResult& r, const Options& o, SeriesLog& log, const RunControl& control, const std::string& value,
               char sep);

}  // namespace fluvena::batch
