#pragma once
// Number patterns used by decks, tables, labels, logs and exports. "0" places
// are mandatory; the decimals after the separator are fixed and the value is
// rounded to nearest; "E+00" gives one non-zero digit before the separator (all
// zeros for 0), E, the exponent's sign always and at least two exponent digits.
// Negative values get a leading "-"; no digit grouping. The separator is a
// parameter: a point for decks, the user's locale's separator elsewhere.
#include <cstdint>
#include <string>

namespace fluvena {

enum class Pattern {
    E2,  // "0.00E+00"
    E3,  // "0.000E+00"
    E4,  // "0.0000E+00"
    F5,  // "0.00000"
    F3,  // "0.000"
    F2,  // "0.00"
};

std::string FormatFloat(double value, Pattern pattern, char decimalSeparator);

// A whole number in decimal, not padded, "-" before negative values.
std::string FormatInt(std::int64_t value);

}  // namespace fluvena
