#pragma once
// Tab-separated exports of Malvern Zetasizer software: one row per record,
// in one table or in two (a summary, then a detail table).
#include "DataFile.h"
#include "base/Outcome.h"

#include <string_view>
#include <vector>

namespace fluvena::io {

// True when the first non-blank line is the header row of such an export:
// tab-separated column names with "Sample Name" and a record's number, a
// result (Z-average, PdI) or a correlogram among them.
bool LooksLikeZetasizerExport(std::string_view bytes);

// Every record in the file's order. A record with a correlogram
// ("Correlation Delay Times[k] (µs)", "Correlation Data[k]": g2 - 1 over lag
// times in µs) is a measurement; a record without one (distributions only)
// comes with its refusal and no points. The file states no angle or
// wavelength: a Nano ZS's are assumed (InstrumentHeader::assumedAngleDeg).
Outcome<std::vector<DataFile>> ReadZetasizerExport(std::string_view bytes);

}  // namespace fluvena::io
