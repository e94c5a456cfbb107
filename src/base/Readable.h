#pragma once
// Numbers for people: three or four significant digits, SI prefixes or powers
// of ten written with superscripts ("779 nm ± 35", "3.15·10⁻¹³ m²/s",
// "q = 18.7 µm⁻¹"). Texts are UTF-8. The decimal separator is a parameter
// (the user's locale's). Not for decks, logs or exports, which keep their
// fixed patterns (NumberFormat.h).
#include <string>
#include <string_view>

namespace fluvena {

// `digits` significant digits (at least 1), trailing zeros dropped. Whole
// numbers of up to four digits keep every digit (1121, not 1.12·10³);
// magnitudes below 0.001 or from 10000 up are written m·10ⁿ. "–" for a value
// that is not finite.
std::string Readable(double value, char separator, int digits = 3);

// A fixed number of decimals ("0.25").
std::string ReadableFixed(double value, int decimals, char separator);

// The value, the unit and its standard error with two significant digits,
// the value rounded to the error's last digit: "779 nm ± 35". Without a
// positive finite error only the value and the unit. `unit` may be empty.
std::string ReadableWithError(double value, double error, std::string_view unit, char separator);

// A value in unit^power (power 1 or -1, or 2, ...) with the SI prefix that
// brings it to 1 ... 1000: SiPrefixed(1.87e7, "m", -1) is "18.7 µm⁻¹",
// SiPrefixed(5.0e-8, "m", 1) is "50 nm". Prefixes from f to T.
std::string SiPrefixed(double value, std::string_view unit, int power, char separator, int digits = 3);

// n written as superscript digits with a superscript minus: "⁻¹³".
std::string Superscript(int n);

}  // namespace fluvena
