#pragma once
// Numbers as Fortran card images hold them: reading an input field and
// writing the fixed-width E and F fields of a listing.
#include <string>
#include <string_view>

namespace fluvena::engine {

// A number as a Fortran input field holds it: optional sign, digits with an
// optional point, optional exponent introduced by E, D, Q (either case) or
// by a sign alone ("1.5-02"), at most four exponent digits. Blanks around it
// are ignored; an all-blank field is 0. False when the field holds anything
// else (infinities, NaNs, hexadecimal, inner blanks), is longer than 60
// characters or its value overflows; a value below the smallest double
// reads as 0.
bool ParseFortranNumber(std::string_view field, double& value);

// Optional sign and decimal digits, nothing else; false beyond int.
bool ParseWholeNumber(std::string_view token, int& value);

// What FormatE does with magnitudes below 1e-99, whose exponent needs three
// digits: show them (shedding decimals) or print them as zero.
enum class Tiny { kShow, kZero };

// "%.<decimals>E" right-aligned in exactly `width` characters, with `expLetter`
// for the exponent letter; decimals are shed until the value fits, asterisks
// fill the field when it cannot fit or is not finite. -0 prints as 0.
std::string FormatE(double v, int width, int decimals, char expLetter = 'E', Tiny tiny = Tiny::kShow);

// "%.<decimals>f" right-aligned in exactly `width` characters; a value that
// rounds to zero has no minus sign; asterisks when it does not fit, is not
// finite or exceeds 1e30 in magnitude.
std::string FormatF(double v, int width, int decimals);

}  // namespace fluvena::engine
