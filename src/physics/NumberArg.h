#pragma once
// A number as an argument of a failure's message: four significant digits,
// always a decimal point whatever the C locale ("nan" and "inf" spelled so).
#include <charconv>
#include <string>

namespace fluvena::physics {

inline std::string NumberArg(double v)
{
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 4).ptr;
    return std::string(buf, end);
}

}  // namespace fluvena::physics
