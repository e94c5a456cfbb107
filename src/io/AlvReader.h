#pragma once
// Files of ALV correlators (ALV-5000, ALV-7004 ...), usually named *.ASC.
#include "DataFile.h"
#include "base/Outcome.h"

#include <string_view>

namespace fluvena::io {

// True when the bytes (without a byte-order mark) start like a correlator
// file: a first line beginning with "ALV-".
bool LooksLikeAlvFile(std::string_view bytes);

// Reads the header, the correlation (lag times in ms, g2 - 1 of the channels
// the mode names, averaged over them) and the count-rate trace.
Outcome<DataFile> ReadAlvFile(std::string_view bytes);

}  // namespace fluvena::io
