#include "TextReader.h"

#include "io/DataReader.h"

#include "LineScan.h"

#include <algorithm>
#include <limits>
#include <vector>

// The rules of a text data file.
//
// Lines end with CR LF, a lone LF or a lone CR; blank lines at the end are
// ignored. Leading lines are header lines, skipped and counted, while they are
// blank, start with '#', or hold no field that is a number (fields split at
// blanks, tabs, semicolons and commas): "Lag time [us]<TAB>g2-1" is a header
// line, "Sample 5" is not (and fails as data). Every later line is data: two
// or more numbers, each field a whole number, times not negative and growing,
// every line with as many fields as the first data line.
//
// The separator and the decimal mark are decided once, from all data lines:
//   1. a tab in any data line: tabs separate;
//   2. else a semicolon in any data line: semicolons separate;
//   3. else no comma anywhere: runs of blanks separate;
//   4. else blanks between fields and no comma beside a blank: blanks
//      separate, the comma is a decimal mark ("0,5 1,25");
//   5. else commas separate and the point is the decimal mark ("1.5,2.5",
//      "1.5, 2.5", "1,2").
// So a comma is a decimal mark only where something else separates the
// fields, and "1,5,2,5" is four columns 1 | 5 | 2 | 5 (the window shows four
// columns, which tells the user). Where commas do not separate, a field may
// use either mark, as files written for the earlier reader mix them. Blanks
// around a field are ignored; with tabs, semicolons and commas, empty fields
// at the end of a line ("1;2;") are ignored, an empty field before another
// one is an error.

namespace fluvena::io {

namespace {

enum class Separator { Tab, Semicolon, Comma, Blanks };

bool HoldsNumber(std::string_view line)
{
    std::size_t i = 0;
    const auto isSep = [](char c) { return IsBlank(c) || c == ';' || c == ','; };
    while (i < line.size()) {
        while (i < line.size() && isSep(line[i])) ++i;
        std::size_t e = i;
        while (e < line.size() && !isSep(line[e])) ++e;
        double v = 0.0;
        if (e > i && ReadNumber(line.substr(i, e - i), v) != NumberStatus::NotANumber) return true;
        i = e;
    }
    return false;
}

bool IsHeaderLine(std::string_view line)
{
    const std::string_view t = Trimmed(line);
    return t.empty() || t[0] == '#' || !HoldsNumber(t);
}

Separator ChooseSeparator(const std::vector<TextLine>& lines, std::size_t first)
{
    bool tab = false, semicolon = false, comma = false, commaByBlank = false, innerBlank = false;
    for (std::size_t k = first; k < lines.size(); ++k) {
        const std::string_view t = Trimmed(lines[k].text);
        for (std::size_t i = 0; i < t.size(); ++i) {
            switch (t[i]) {
            case '\t': tab = true; break;
            case ';': semicolon = true; break;
            case ' ': innerBlank = true; break;
            case ',':
                comma = true;
                if ((i > 0 && IsBlank(t[i - 1])) || (i + 1 < t.size() && IsBlank(t[i + 1]))) commaByBlank = true;
                break;
            default: break;
            }
        }
    }
    if (tab) return Separator::Tab;
    if (semicolon) return Separator::Semicolon;
    if (!comma) return Separator::Blanks;
    if (innerBlank && !commaByBlank) return Separator::Blanks;
    return Separator::Comma;
}

// The fields of a data line, or the number of the empty column (1-based) that
// stands before another field.
std::size_t SplitFields(std::string_view line, Separator sep, std::vector<std::string_view>& fields)
{
    fields.clear();
    const std::string_view t = Trimmed(line);
    if (sep == Separator::Blanks) {
        std::size_t i = 0;
        while (i < t.size()) {
            std::size_t e = i;
            while (e < t.size() && !IsBlank(t[e])) ++e;
            fields.push_back(t.substr(i, e - i));
            i = e;
            while (i < t.size() && IsBlank(t[i])) ++i;
        }
        return 0;
    }
    const char c = sep == Separator::Tab ? '\t' : sep == Separator::Semicolon ? ';' : ',';
    std::size_t i = 0;
    while (true) {
        const std::size_t e = std::min(t.find(c, i), t.size());
        fields.push_back(Trimmed(t.substr(i, e - i)));
        if (e == t.size()) break;
        i = e + 1;
    }
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    for (std::size_t k = 0; k < fields.size(); ++k)
        if (fields[k].empty()) return k + 1;
    return 0;
}

}  // namespace

Outcome<DataFile> ReadTextFile(std::string_view bytes, const ReadOptions& options)
{
    if (options.xColumn < 1 || options.yColumn < 1)
        return Fail("column %1 cannot be chosen: columns count from 1",
                    {std::to_string(std::min(options.xColumn, options.yColumn))});
    std::vector<TextLine> lines = LinesOf(bytes);
    while (!lines.empty() && IsBlankLine(lines.back().text)) lines.pop_back();
    std::size_t first = 0;
    while (first < lines.size() && IsHeaderLine(lines[first].text)) ++first;
    if (first == lines.size()) return Fail(kNoData);
    if (first > static_cast<std::size_t>(std::numeric_limits<int>::max())) return Fail("the file has too many lines");

    const Separator sep = ChooseSeparator(lines, first);
    const auto xIndex = static_cast<std::size_t>(options.xColumn - 1);
    const auto yIndex = static_cast<std::size_t>(options.yColumn - 1);
    const std::size_t needed = std::max(xIndex, yIndex) + 1;

    DataFile out;
    out.format = FileFormat::Text;
    out.headerLines = static_cast<int>(first);
    out.x.reserve(lines.size() - first);
    out.y.reserve(lines.size() - first);
    std::size_t columns = std::numeric_limits<std::size_t>::max();  // of the first data row
    std::int64_t columnsLine = 0;
    std::vector<std::string_view> fields;
    std::vector<double> values;
    TimeOrder order;
    for (std::size_t k = first; k < lines.size(); ++k) {
        const TextLine& line = lines[k];
        const auto at = [&line] { return std::to_string(line.number); };
        if (IsBlankLine(line.text)) return Fail("line %1: a blank line among the data", {at()}, line.number);
        if (const std::size_t empty = SplitFields(line.text, sep, fields))
            return Fail("line %1: column %2 is empty", {at(), std::to_string(empty)}, line.number);
        values.resize(fields.size());
        for (std::size_t f = 0; f < fields.size(); ++f) {
            switch (ReadNumber(fields[f], values[f])) {
            case NumberStatus::Ok: break;
            case NumberStatus::NotANumber: return NotANumber(line, fields[f]);
            case NumberStatus::OutOfRange: return OutOfRange(line, fields[f]);
            }
        }
        if (fields.size() < 2)
            return Fail("line %1: a single number where a time and a value are needed", {at()}, line.number);
        if (fields.size() < needed)
            return Fail("line %1: there is no column %2", {at(), std::to_string(needed)}, line.number);
        // A row of more or fewer fields than the first: which of them is
        // extra or missing cannot be known, and taking the chosen columns by
        // position would read another quantity for that row.
        if (columns == std::numeric_limits<std::size_t>::max()) {
            columns = fields.size();
            columnsLine = line.number;
        } else if (fields.size() != columns) {
            return Fail("line %1: %2 columns where the data rows before it (from line %3) have %4",
                        {at(), std::to_string(fields.size()), std::to_string(columnsLine), std::to_string(columns)},
                        line.number);
        }
        if (auto bad = order.Check(line, fields[xIndex], values[xIndex])) return *bad;
        out.x.push_back(values[xIndex]);
        out.y.push_back(values[yIndex]);
    }
    out.columnCount = static_cast<int>(std::min<std::size_t>(columns, std::numeric_limits<int>::max()));
    return out;
}

}  // namespace fluvena::io
