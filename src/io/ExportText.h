#pragma once
// Pieces shared by the readers of instrument exports (Zetasizer, LS
// Instruments): their 8-bit texts and the correlator's first lags.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::io {

// Windows-1252, the code page of instrument software on Windows: Latin-1
// with printable characters (quotes, dashes, the euro sign) at 0x80...0x9F.
std::string Windows1252ToUtf8(std::string_view bytes);

// A text of an export as UTF-8: kept when it is UTF-8 already (an export
// saved as UTF-8), otherwise read as Windows-1252. The Greek mu (U+03BC),
// which some software writes for the micro sign, becomes the micro sign
// (U+00B5), so that "(µs)" is found whichever was written.
std::string ExportTextToUtf8(std::string_view bytes);

// The number of leading points that are not correlation values: a
// correlator writes the lag at 0 and lags inside its dead time, whose values
// lie above 2 or below 0 before the plateau. Counting stops at the first
// point with a positive lag and a value in 0 ... 2. More such points than a
// dead time can explain (over 8, or a quarter of the points) are not a dead
// time but data without a correlation: then nothing is counted, and the
// data are shown as they are.
std::size_t LeadingNonCorrelationPoints(const std::vector<double>& lag, const std::vector<double>& value);

// The reason given with that count.
inline constexpr const char* kDeadTimeReason = "the correlator's dead time";

}  // namespace fluvena::io
