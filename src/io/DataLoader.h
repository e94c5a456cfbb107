#pragma once
// The data file: two tab-separated columns, one point a line, commas read as
// decimal points, each field read through a fixed window of characters.
#include "base/Outcome.h"
#include "io/DataFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

struct LoadedData {
    enum class Status { Ok, Empty, BadLine };
    Status status = Status::Empty;
    std::vector<double> x, y;
    std::int32_t lineCount = 0;  // lines of the file as a memo counts them
    std::int32_t badLine = 0;    // 1-based line that could not be read (BadLine)
};

// Reads the bytes of a data file exactly as the loader of the window does:
// the abscissa from the first 10 characters of a line, the ordinate from the
// tab and the 9 (first line) or 8 (later lines) characters after it. A line
// whose tab cannot be found (no tab left in the file) gives BadLine with that
// line's number and no points.
LoadedData ParseDataFile(std::string_view bytes);

// The same reading as a data file: no points for an empty file, a failure
// naming the line that cannot be read.
Outcome<io::DataFile> ReadClassicDataFile(std::string_view bytes);

}  // namespace fluvena
