#pragma once
// Files of LS Instruments correlators (*.dat).
#include "DataFile.h"
#include "base/Outcome.h"

#include <string_view>

namespace fluvena::io {

// True when the bytes start like such a file: a first line naming the
// correlation ("Pseudo Cross Correlation", "Auto Correlation" ...) and a
// "Lag time (s)" or "Scattering angle" line further on.
bool LooksLikeLsiFile(std::string_view bytes);

// Reads the header, the correlation (lag times in s, g2 - 1) and the
// count-rate history. The correlator's first lags that are not correlation
// values are named in suggestedFirstPoint.
Outcome<DataFile> ReadLsiFile(std::string_view bytes);

}  // namespace fluvena::io
