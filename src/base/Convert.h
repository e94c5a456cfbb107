#pragma once
// Conversions of edit-field texts, as the window's library performs them.
#include <cstdint>
#include <string_view>

namespace fluvena {

// A whole number: optional blanks, an optional sign, decimal digits, within
// the 32-bit range. Otherwise ConversionError "'%s' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// A floating-point number with the given decimal separator (and no other):
// blanks around it allowed, optional sign, digits, optional separator and
// digits, optional exponent. Otherwise ConversionError
// "'%s' is not a valid floating point value". The text is UTF-8.
double StrToFloat(std::string_view text, char decimalSeparator);

}  // namespace fluvena
