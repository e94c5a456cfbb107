#include "DataReader.h"

#include "AlvReader.h"
#include "LineScan.h"
#include "TextReader.h"

#include <limits>

namespace fluvena::io {

Outcome<DataFile> ReadDataFile(std::string_view bytes, const ReadOptions& options)
{
    // Line numbers and counts are ints where they are shown.
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return Fail("the file is too large (%1 bytes)", {std::to_string(bytes.size())});
    bytes = WithoutByteOrderMark(bytes);
    const bool alv = options.format == FormatChoice::Alv ||
                     (options.format == FormatChoice::Auto && LooksLikeAlvFile(bytes));
    return alv ? ReadAlvFile(bytes) : ReadTextFile(bytes, options);
}

Outcome<std::vector<DataFile>> ReadDataFiles(std::string_view bytes, const ReadOptions& options)
{
    Outcome<DataFile> one = ReadDataFile(bytes, options);
    if (!one) return one.failure();
    return std::vector<DataFile>{std::move(*one)};
}

}  // namespace fluvena::io
