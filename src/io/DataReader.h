#pragma once
// Reading a data file of any format Fluvena knows: text columns or a
// correlator file.
#include "DataFile.h"
#include "base/Outcome.h"

#include <string_view>
#include <vector>

namespace fluvena::io {

// The failure of a file that holds no data at all (empty, or headers only).
inline constexpr const char* kNoData = "the file holds no data";

// The points and what the file says about them. A UTF-8 byte-order mark is
// dropped; under FormatChoice::Auto a first line starting with "ALV-" makes
// the file a correlator file, anything else a text file. A failure names the
// 1-based line it concerns.
Outcome<DataFile> ReadDataFile(std::string_view bytes, const ReadOptions& options);

// Every measurement a file holds, in the file's order: one for a text file or
// a one-detector correlator file, one per detector of a multi-detector file
// (each with its `detector` set), one per record of an instrument export that
// holds several. A failure refuses the whole file.
Outcome<std::vector<DataFile>> ReadDataFiles(std::string_view bytes, const ReadOptions& options);

}  // namespace fluvena::io
