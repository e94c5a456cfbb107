#pragma once
// Files of ALV correlators (ALV-5000, ALV-7004 ...), usually named *.ASC.
#include "DataFile.h"
#include "base/Outcome.h"

#include <string_view>
#include <vector>

namespace fluvena::io {

// True when the bytes (without a byte-order mark) start like a correlator
// file: a first line beginning with "ALV-".
bool LooksLikeAlvFile(std::string_view bytes);

// Reads the header, the correlation (lag times in ms, g2 - 1) and the
// count-rate trace. A file with one angle gives one measurement: the channels
// the mode names, averaged. A multi-detector file gives one measurement per
// detector in use, each with its own angle, mean count rate and trace, and
// its `detector` set. A damaged file, a header value no measurement can have,
// or columns that cannot be matched to the header's angles and channels
// refuse the whole file.
Outcome<std::vector<DataFile>> ReadAlvFiles(std::string_view bytes);

// The one measurement of a file; a file of several detectors is refused.
Outcome<DataFile> ReadAlvFile(std::string_view bytes);

}  // namespace fluvena::io
