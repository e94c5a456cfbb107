#pragma once
// Windows-1250, the code page of every file Fluvena reads or writes. The core
// works on these 8-bit bytes; the window converts at its edges.
#include <string>
#include <string_view>

namespace fluvena {

char32_t Cp1250ToCodePoint(unsigned char byte);
// The byte for a code point, or -1 when the code page has none.
int CodePointToCp1250(char32_t codePoint);

std::string Cp1250ToUtf8(std::string_view bytes);
// Characters the code page cannot hold become '?'.
std::string Utf8ToCp1250(std::string_view utf8);

}  // namespace fluvena
