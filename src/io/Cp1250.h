#pragma once
// Windows-1250, the code page of Fluvena's own files, and Latin-1, the code
// page of correlator files. The core works on 8-bit bytes; texts are
// converted at the edges.
#include <string>
#include <string_view>

namespace fluvena {

char32_t Cp1250ToCodePoint(unsigned char byte);
// The byte for a code point, or -1 when the code page has none.
int CodePointToCp1250(char32_t codePoint);

std::string Cp1250ToUtf8(std::string_view bytes);
// Characters the code page cannot hold become '?'.
std::string Utf8ToCp1250(std::string_view utf8);

// ISO 8859-1: every byte is the code point of the same number.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace fluvena
