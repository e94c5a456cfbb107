#include "DataReader.h"

#include "AlvReader.h"
#include "LineScan.h"
#include "TextReader.h"

#include <limits>
#include <optional>

namespace fluvena::io {

namespace {

// Line numbers and counts are ints where they are shown.
std::optional<Failure> TooLarge(std::string_view bytes)
{
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return Fail("the file is too large (%1 bytes)", {std::to_string(bytes.size())});
    return std::nullopt;
}

bool IsAlv(std::string_view bytes, const ReadOptions& options)
{
    return options.format == FormatChoice::Alv || (options.format == FormatChoice::Auto && LooksLikeAlvFile(bytes));
}

}  // namespace

Outcome<DataFile> ReadDataFile(std::string_view bytes, const ReadOptions& options)
{
    if (auto bad = TooLarge(bytes)) return *bad;
    bytes = WithoutByteOrderMark(bytes);
    return IsAlv(bytes, options) ? ReadAlvFile(bytes) : ReadTextFile(bytes, options);
}

Outcome<std::vector<DataFile>> ReadDataFiles(std::string_view bytes, const ReadOptions& options)
{
    if (auto bad = TooLarge(bytes)) return *bad;
    bytes = WithoutByteOrderMark(bytes);
    if (IsAlv(bytes, options)) return ReadAlvFiles(bytes);
    Outcome<DataFile> one = ReadTextFile(bytes, options);
    if (!one) return one.failure();
    return std::vector<DataFile>{std::move(*one)};
}

}  // namespace fluvena::io
