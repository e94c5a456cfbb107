#include "Table.h"

#include <charconv>
#include <cmath>

namespace fluvena::results {

namespace {

std::string Number(double v)
{
    if (!std::isfinite(v)) return {};
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Text(const std::string& s, TableFormat format)
{
    if (format == TableFormat::Tsv) {
        std::string out = s;
        for (char& c : out)
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        return out;
    }
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string Cell(const TableCell& cell, TableFormat format)
{
    if (const auto* s = std::get_if<std::string>(&cell)) return Text(*s, format);
    if (const auto* d = std::get_if<double>(&cell)) return Number(*d);
    if (const auto* n = std::get_if<long long>(&cell)) return std::to_string(*n);
    return {};
}

void Row(std::string& out, const std::vector<TableCell>& cells, std::size_t width, TableFormat format)
{
    const char sep = format == TableFormat::Csv ? ',' : '\t';
    for (std::size_t i = 0; i < width; ++i) {
        if (i) out += sep;
        if (i < cells.size()) out += Cell(cells[i], format);
    }
    out += '\n';
}

}  // namespace

std::vector<TableCell>& Table::AddRow()
{
    rows.emplace_back(columns.size());
    return rows.back();
}

int Table::Column(const std::string& name) const
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i] == name) return static_cast<int>(i);
    return -1;
}

std::string FormatTableRow(const std::vector<TableCell>& cells, std::size_t width, TableFormat format)
{
    std::string out;
    Row(out, cells, width, format);
    return out;
}

std::string FormatTable(const Table& table, TableFormat format)
{
    std::string out;
    std::vector<TableCell> header(table.columns.begin(), table.columns.end());
    Row(out, header, table.columns.size(), format);
    for (const auto& row : table.rows) Row(out, row, table.columns.size(), format);
    return out;
}

}  // namespace fluvena::results
