#pragma once
// The text rules of a memo: its lines as read from a file, its whole text and
// its line count, and the bytes written when it is saved.
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

// The lines of a memo holding these bytes, lines ended by CR LF, a lone CR or
// a lone LF. An empty last line (what follows a final line break) is not a
// line. An empty text has no lines.
std::vector<std::string> SplitLines(std::string_view bytes);

// Whether the bytes end with a line break (CR or LF).
bool EndsWithLineBreak(std::string_view bytes);

// The memo's whole text after loading these bytes: the lines joined by CR LF,
// with CR LF after the last line only when the bytes ended with a line break.
std::string NormalizedText(std::string_view bytes);

// The text form written to a file: every line followed by CR LF.
std::string FileText(const std::vector<std::string>& lines);

}  // namespace fluvena
