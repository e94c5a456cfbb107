#pragma once
// Pieces shared by the readers of data files: the lines of a text, whole-field
// numbers, and the order of lag times.
#include "base/Outcome.h"
#include "physics/SampleBounds.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::io {

// One line of a text without its line break, with its 1-based number.
struct TextLine {
    std::string_view text;
    std::int64_t number = 0;
};

// The lines of the bytes, ended by CR LF, a lone LF or a lone CR. What follows
// the last line break is a line only when it is not empty.
std::vector<TextLine> LinesOf(std::string_view bytes);

// The bytes without a leading UTF-8 byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view bytes);

bool IsBlank(char c);  // space or tab
std::string_view Trimmed(std::string_view s);  // without blanks at either end
bool IsBlankLine(std::string_view s);

enum class NumberStatus { Ok, NotANumber, OutOfRange };

// The number a whole field spells: an optional sign, digits with at most one
// decimal mark, a point or a comma (digits on at least one side of it), an
// optional exponent (e or E, optional sign, digits). No blanks, no words
// ("nan", "inf"), no hexadecimal. Converted correctly rounded, independent of
// the C locale; a value beyond the range of double, or so small that it
// rounds to zero, is OutOfRange. (Where commas separate fields, the fields
// hold none.)
NumberStatus ReadNumber(std::string_view field, double& value);

// A field as it can be quoted in a message: UTF-8 (bytes that are not UTF-8
// are read as Windows-1250, or as Latin-1 when latin1 is set) and cut to a
// readable length.
std::string Quoted(std::string_view field, bool latin1 = false);

// Failures that both readers report, patterns with the line as %1.
Failure NotANumber(const TextLine& line, std::string_view field, bool latin1 = false);
Failure OutOfRange(const TextLine& line, std::string_view field, bool latin1 = false);

// A sample value a file states (under `key`, spelt `spelt`), checked against
// what a measurement can have: a failure naming the line, the key and the
// value when it lies outside the quantity's bounds.
std::optional<Failure> CheckStatedValue(const TextLine& line, std::string_view key, std::string_view spelt,
                                        physics::Quantity q, double v, bool latin1 = true);

// Checks that lag times are not negative and grow from point to point.
class TimeOrder {
public:
    // A failure naming the line when the time (spelt `field` in the file)
    // breaks the order; nothing otherwise.
    std::optional<Failure> Check(const TextLine& line, std::string_view field, double time);

private:
    bool any_ = false;
    double last_ = 0.0;
    std::string_view lastField_;
};

}  // namespace fluvena::io
