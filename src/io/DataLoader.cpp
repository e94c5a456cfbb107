#include "DataLoader.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "base/Text.h"

#include <algorithm>
#include <limits>

namespace fluvena {

LoadedData ParseDataFile(std::string_view bytes)
{
    LoadedData out;
    std::string text = NormalizedText(bytes);
    const auto lines = std::count(text.begin(), text.end(), '\n') + (EndsWithLineBreak(text) || text.empty() ? 0 : 1);
    if (lines > std::numeric_limits<std::int32_t>::max() || text.size() >= kNotFound) {
        out.status = LoadedData::Status::BadLine;
        out.badLine = std::numeric_limits<std::int32_t>::max();
        return out;
    }
    out.lineCount = static_cast<std::int32_t>(lines);
    if (out.lineCount == 0) {
        out.status = LoadedData::Status::Empty;
        return out;
    }
    std::replace(text.begin(), text.end(), ',', '.');
    const std::size_t n = static_cast<std::size_t>(out.lineCount);
    std::vector<double> x(n), y(n);
    std::int32_t line = 1;
    try {
        x[0] = NumberAt(text, 0, 10);
        Pos t = FindFrom("\t", text, 0);
        y[0] = NumberAt(text, t, 10);
        for (std::size_t k = 1; k < n; ++k) {
            line = static_cast<std::int32_t>(k + 1);
            const Pos b = FindFrom("\r\n", text, t);
            x[k] = NumberAt(text, Advance(b, 2), 10);
            t = FindFrom("\t", text, b);
            y[k] = NumberAt(text, t, 9);
        }
    } catch (const OutOfRange&) {
        out.status = LoadedData::Status::BadLine;
        out.badLine = line;
        return out;
    }
    out.status = LoadedData::Status::Ok;
    out.x = std::move(x);
    out.y = std::move(y);
    return out;
}

Outcome<io::DataFile> ReadClassicDataFile(std::string_view bytes)
{
    LoadedData data = ParseDataFile(bytes);
    if (data.status == LoadedData::Status::BadLine)
        return Fail("line %1 of the data file cannot be read (a blank line, or no tab between the columns)",
                    {std::to_string(data.badLine)}, data.badLine);
    io::DataFile file;
    file.x = std::move(data.x);
    file.y = std::move(data.y);
    return file;
}

}  // namespace fluvena
