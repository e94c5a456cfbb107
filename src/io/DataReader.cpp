#include "DataReader.h"

#include "AlvReader.h"
#include "LineScan.h"
#include "LsiReader.h"
#include "TextReader.h"
#include "ZetasizerReader.h"

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

// The layout of the bytes (without a byte-order mark): the forced one, or the
// one their first lines show.
FormatChoice LayoutOf(std::string_view bytes, FormatChoice choice)
{
    if (choice != FormatChoice::Auto) return choice;
    if (LooksLikeAlvFile(bytes)) return FormatChoice::Alv;
    if (LooksLikeZetasizerExport(bytes)) return FormatChoice::Zetasizer;
    if (LooksLikeLsiFile(bytes)) return FormatChoice::Lsi;
    return FormatChoice::Text;
}

// One measurement of bytes whose byte-order mark is already gone: a second
// mark is a character of the text, not taken away again.
Outcome<DataFile> ReadOne(std::string_view bytes, const ReadOptions& options)
{
    switch (LayoutOf(bytes, options.format)) {
    case FormatChoice::Alv: return ReadAlvFile(bytes);
    case FormatChoice::Lsi: return ReadLsiFile(bytes);
    case FormatChoice::Zetasizer: {
        // The first record that can be analysed; the reason of the first when none can.
        Outcome<std::vector<DataFile>> records = ReadZetasizerExport(bytes);
        if (!records) return records.failure();
        for (DataFile& r : *records)
            if (!r.refusal) return std::move(r);
        return records->front().refusal.value();
    }
    case FormatChoice::Auto:
    case FormatChoice::Text: break;
    }
    return ReadTextFile(bytes, options);
}

}  // namespace

Outcome<DataFile> ReadDataFile(std::string_view bytes, const ReadOptions& options)
{
    if (auto bad = TooLarge(bytes)) return *bad;
    return ReadOne(WithoutByteOrderMark(bytes), options);
}

Outcome<std::vector<DataFile>> ReadDataFiles(std::string_view bytes, const ReadOptions& options)
{
    if (auto bad = TooLarge(bytes)) return *bad;
    bytes = WithoutByteOrderMark(bytes);
    switch (LayoutOf(bytes, options.format)) {
    case FormatChoice::Alv: return ReadAlvFiles(bytes);
    case FormatChoice::Zetasizer: return ReadZetasizerExport(bytes);
    default: break;
    }
    Outcome<DataFile> one = ReadOne(bytes, options);
    if (!one) return one.failure();
    return std::vector<DataFile>{std::move(*one)};
}

}  // namespace fluvena::io
