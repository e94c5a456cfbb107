#pragma once
// Text-scanning primitives shared by the data loader and the listing parsers.
// Positions are unsigned 32-bit numbers; kNotFound (the value -1) marks a
// failed search and is the largest position, so a search from it fails too.
#include <cstdint>
#include <string>
#include <string_view>

namespace fluvena {

using Pos = std::uint32_t;
inline constexpr Pos kNotFound = 0xFFFFFFFFu;

// The first position p >= start at which text holds needle, or kNotFound.
Pos FindFrom(std::string_view needle, std::string_view text, Pos start);

// At most n characters of text from pos; fewer when the text ends sooner.
// pos equal to the length gives an empty piece; pos beyond it (kNotFound
// included) throws OutOfRange.
std::string_view Cut(std::string_view text, Pos pos, Pos n);

// The longest leading decimal number of piece by the C library's atof rules
// (leading white space skipped, optional sign, digits with an optional point,
// optional exponent), with Fortran's D also taken as the exponent letter; 0
// when there is none. Never fails; values beyond the
// range of double give +-inf as atof does, callers that show them check.
double Number(std::string_view piece);

// Number(Cut(text, pos, n)): a fixed-width field of a listing.
double NumberAt(std::string_view text, Pos pos, Pos n);

// The line of a listing that holds position `at` and the nearest non-blank
// line before it, each without its carriage control character (the first
// column) and without trailing blanks and asterisks, joined by a line feed.
// Listings say this way why they refused a deck. Empty when `at` lies beyond
// the text.
std::string LinesAround(std::string_view text, std::size_t at);

// A position moved by an offset, wrapping like unsigned 32-bit positions do
// (kNotFound + 2 is 1): callers that may hold kNotFound check it first or let
// the read that follows fail.
inline Pos Advance(Pos p, std::int64_t by) { return static_cast<Pos>(static_cast<std::int64_t>(p) + by); }

}  // namespace fluvena
