#pragma once
// A results table (one header row of stable column names, one row per
// measurement) written as CSV (RFC 4180 quoting) or as tab-separated values.
// UTF-8, a point as the decimal separator whatever the locale, numbers in
// their shortest form that reads back to the same double (so a table and the
// JSON of the same results hold the same numbers), an empty cell for a value
// that does not exist, LF line ends.
#include <string>
#include <variant>
#include <vector>

namespace fluvena::results {

enum class TableFormat { Csv, Tsv };

// Empty, text, a number, or a count.
using TableCell = std::variant<std::monostate, std::string, double, long long>;

struct Table {
    std::vector<std::string> columns;
    std::vector<std::vector<TableCell>> rows;  // each as long as `columns`

    // Appends an empty row and returns it, sized to the columns.
    std::vector<TableCell>& AddRow();
    // The index of a column by its name; -1 when there is none.
    int Column(const std::string& name) const;
};

// The whole table; a row shorter than the header is padded with empty cells.
// In TSV a tab, CR or LF inside a text becomes a blank (TSV has no quoting).
std::string FormatTable(const Table& table, TableFormat format);

// One line of a table `width` columns wide (the header is such a line of
// names), so that a long table can be written as its rows come.
std::string FormatTableRow(const std::vector<TableCell>& cells, std::size_t width, TableFormat format);

}  // namespace fluvena::results
