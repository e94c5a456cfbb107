#include "ZetasizerReader.h"

#include "io/DataReader.h"

#include "ExportText.h"
#include "LineScan.h"
#include "physics/NumberArg.h"

#include <algorithm>
#include <map>

// The layout (Windows-1252 or UTF-8, CR LF). The lab's export template
// decides which columns there are and their order, so columns are found by
// their names:
//   a header row of tab-separated column names, then one row per record;
//   optionally a blank line and a second table of the same records (a
//   summary first, the detail with the correlograms after it): the n-th row
//   of every table is the n-th record.
// A record's correlogram is the columns "Correlation Delay Times[k] (µs)" and
// "Correlation Data[k]" (g2 - 1), k = 1, 2 ...; empty cells at the same k in
// both are no point (records of different lengths share the columns).

namespace fluvena::io {

namespace {

// A Nano ZS: backscatter at 173 degrees, a 632.8 nm He-Ne laser.
constexpr double kNanoZsAngleDeg = 173.0;
constexpr double kNanoZsWavelengthNm = 632.8;

struct Row {
    TextLine line;
    std::vector<std::string_view> cells;
};

struct Table {
    std::int64_t headerLine = 0;
    std::vector<std::string> names;  // UTF-8
    std::vector<Row> rows;
};

std::vector<std::string_view> Cells(std::string_view text)
{
    std::vector<std::string_view> cells;
    std::size_t i = 0;
    while (true) {
        const std::size_t e = std::min(text.find('\t', i), text.size());
        cells.push_back(Trimmed(text.substr(i, e - i)));
        if (e == text.size()) break;
        i = e + 1;
    }
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    return cells;
}

std::vector<std::string> Names(std::string_view headerRow)
{
    std::vector<std::string> names;
    for (const std::string_view c : Cells(headerRow)) names.push_back(ExportTextToUtf8(c));
    return names;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// "<prefix><k><suffix>" -> k (1 or more); nothing for another name.
std::optional<int> IndexIn(std::string_view name, std::string_view prefix, std::string_view suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || !StartsWith(name, prefix) ||
        name.substr(name.size() - suffix.size()) != suffix)
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 6) return std::nullopt;
    int k = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        k = k * 10 + (c - '0');
    }
    return k > 0 ? std::optional<int>(k) : std::nullopt;
}

// Where each named column lives: the first table (and column) that has it.
struct Column {
    std::size_t table = 0, index = 0;
};

class Record {
public:
    Record(const std::vector<Table>& tables, std::size_t row) : tables_(tables), row_(row) {}

    const Row& RowOf(const Column& c) const { return tables_[c.table].rows[row_]; }
    std::string_view Cell(const Column& c) const
    {
        const Row& r = RowOf(c);
        return c.index < r.cells.size() ? r.cells[c.index] : std::string_view();
    }
    // The number in a column; nothing for an empty cell.
    std::optional<Failure> Number(const Column& c, std::optional<double>& into) const
    {
        const std::string_view cell = Cell(c);
        if (cell.empty()) return std::nullopt;
        double v = 0.0;
        switch (ReadNumber(cell, v)) {
        case NumberStatus::Ok: into = v; return std::nullopt;
        case NumberStatus::NotANumber: return NotANumber(RowOf(c).line, cell, true);
        case NumberStatus::OutOfRange: return OutOfRange(RowOf(c).line, cell, true);
        }
        return std::nullopt;
    }

private:
    const std::vector<Table>& tables_;
    std::size_t row_;
};

// The tables of the file: each a header row and the rows up to a blank line.
Outcome<std::vector<Table>> TablesOf(const std::vector<TextLine>& lines)
{
    std::vector<Table> tables;
    Table* open = nullptr;
    for (const TextLine& line : lines) {
        if (IsBlankLine(line.text)) {
            open = nullptr;
            continue;
        }
        if (open == nullptr) {
            tables.push_back(Table{line.number, Names(line.text), {}});
            open = &tables.back();
            continue;
        }
        Row row{line, Cells(line.text)};
        if (row.cells.size() > open->names.size())
            return Fail("line %1: %2 fields where the header row (line %3) names %4 columns",
                        {std::to_string(line.number), std::to_string(row.cells.size()),
                         std::to_string(open->headerLine), std::to_string(open->names.size())},
                        line.number);
        open->rows.push_back(std::move(row));
    }
    if (tables.empty()) return Fail(kNoData);
    for (const Table& t : tables) {
        if (t.rows.size() != tables.front().rows.size())
            return Fail("the tables of line %1 and line %2 hold different numbers of records (%3 and %4)",
                        {std::to_string(tables.front().headerLine), std::to_string(t.headerLine),
                         std::to_string(tables.front().rows.size()), std::to_string(t.rows.size())},
                        t.headerLine);
    }
    if (tables.front().rows.empty())
        return Fail("line %1: the header row is followed by no record", {std::to_string(tables.front().headerLine)},
                    tables.front().headerLine);
    return tables;
}

// Every table's column of that name, in the tables' order.
std::vector<Column> Find(const std::vector<Table>& tables, std::string_view name)
{
    std::vector<Column> found;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const auto& names = tables[t].names;
        const auto it = std::find(names.begin(), names.end(), name);
        if (it != names.end()) found.push_back({t, static_cast<std::size_t>(it - names.begin())});
    }
    return found;
}

std::optional<Column> First(const std::vector<Table>& tables, std::initializer_list<std::string_view> names)
{
    for (const std::string_view name : names) {
        const std::vector<Column> found = Find(tables, name);
        if (!found.empty()) return found.front();
    }
    return std::nullopt;
}

// The correlogram's columns by k: the delay time's and the value's.
struct Correlogram {
    std::map<int, Column> delay, data;
};

Outcome<Correlogram> CorrelogramColumns(const std::vector<Table>& tables)
{
    Correlogram c;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        for (std::size_t i = 0; i < tables[t].names.size(); ++i) {
            const std::string& name = tables[t].names[i];
            if (const auto k = IndexIn(name, "Correlation Data[", "]")) {
                c.data.emplace(*k, Column{t, i});
            } else if (StartsWith(name, "Correlation Delay Times[")) {
                const auto micro = IndexIn(name, "Correlation Delay Times[", "] (\xC2\xB5s)");
                const auto plain = IndexIn(name, "Correlation Delay Times[", "] (us)");
                if (!micro && !plain)
                    return Fail("line %1: the column '%2' is not in microseconds (\"Correlation Delay Times[k] "
                                "(\xC2\xB5s)\")",
                                {std::to_string(tables[t].headerLine), name}, tables[t].headerLine);
                c.delay.emplace(micro ? *micro : *plain, Column{t, i});
            }
        }
    }
    for (const auto* side : {&c.delay, &c.data}) {
        const auto* other = side == &c.delay ? &c.data : &c.delay;
        for (const auto& [k, col] : *side) {
            if (other->count(k) == 0)
                return Fail("line %1: the column '%2' has no partner '%3'",
                            {std::to_string(tables[col.table].headerLine), tables[col.table].names[col.index],
                             side == &c.delay ? "Correlation Data[" + std::to_string(k) + "]"
                                              : "Correlation Delay Times[" + std::to_string(k) + "] (\xC2\xB5s)"},
                            tables[col.table].headerLine);
        }
    }
    return c;
}

// A text column that several tables hold must agree in every record: a
// difference means the tables' rows are not the same records.
std::optional<Failure> SameInEveryTable(const std::vector<Table>& tables, const Record& r, std::string_view name,
                                        std::size_t record)
{
    const std::vector<Column> found = Find(tables, name);
    for (std::size_t k = 1; k < found.size(); ++k) {
        if (r.Cell(found[k]) != r.Cell(found[0]))
            return Fail("line %1: record %2 has the %3 '%4' here but '%5' on line %6: the tables do not hold the "
                        "same records in the same order",
                        {std::to_string(r.RowOf(found[k]).line.number), std::to_string(record), std::string(name),
                         Quoted(r.Cell(found[k]), true), Quoted(r.Cell(found[0]), true),
                         std::to_string(r.RowOf(found[0]).line.number)},
                        r.RowOf(found[k]).line.number);
    }
    return std::nullopt;
}

}  // namespace

bool LooksLikeZetasizerExport(std::string_view bytes)
{
    for (const TextLine& line : LinesOf(bytes.substr(0, std::min<std::size_t>(bytes.size(), 1 << 20)))) {
        if (IsBlankLine(line.text)) continue;
        if (line.text.find('\t') == std::string_view::npos) return false;
        const std::vector<std::string> names = Names(line.text);
        const auto has = [&](std::string_view n) { return std::find(names.begin(), names.end(), n) != names.end(); };
        bool correlogram = false;
        for (const std::string& n : names) correlogram = correlogram || StartsWith(n, "Correlation Data[");
        return has("Sample Name") &&
               (has("Record") || has("Z-Ave (d.nm)") || has("Z-Average (d.nm)") || has("PdI") || correlogram);
    }
    return false;
}

Outcome<std::vector<DataFile>> ReadZetasizerExport(std::string_view bytes)
{
    Outcome<std::vector<Table>> read = TablesOf(LinesOf(bytes));
    if (!read) return read.failure();
    const std::vector<Table>& tables = *read;
    // Also when the layout is forced: a file whose first row names neither
    // the sample nor a correlogram is some other file.
    const auto& first = tables.front().names;
    if (std::find(first.begin(), first.end(), "Sample Name") == first.end() &&
        std::none_of(first.begin(), first.end(), [](const std::string& n) { return StartsWith(n, "Correlation Data["); }))
        return Fail("line %1: this is not the header row of a Zetasizer export (it names no \"Sample Name\" and no "
                    "\"Correlation Data[k]\" column)",
                    {std::to_string(tables.front().headerLine)}, tables.front().headerLine);
    const Outcome<Correlogram> correlogram = CorrelogramColumns(tables);
    if (!correlogram) return correlogram.failure();

    const auto name = First(tables, {"Sample Name"});
    const auto when = First(tables, {"Measurement Date and Time"});
    const auto serial = First(tables, {"Serial Number"});
    struct NumberColumn {
        std::optional<Column> column;
        std::optional<double> InstrumentHeader::*field;
    };
    const NumberColumn numbers[] = {
        {First(tables, {"Temperature (\xC2\xB0" "C)", "T (\xC2\xB0" "C)"}), &InstrumentHeader::temperatureK},
        {First(tables, {"Viscosity (cP)", "Dispersant Viscosity (cP)"}), &InstrumentHeader::viscosityCp},
        {First(tables, {"Dispersant RI"}), &InstrumentHeader::refractiveIndex},
        {First(tables, {"Duration (s)"}), &InstrumentHeader::durationS},
        {First(tables, {"Intercept"}), &InstrumentHeader::reportedIntercept},
        {First(tables, {"Z-Average (d.nm)", "Z-Ave (d.nm)"}), &InstrumentHeader::reportedZAverageNm},
        {First(tables, {"PdI"}), &InstrumentHeader::reportedPdi},
        {First(tables, {"Material RI"}), &InstrumentHeader::materialRefractiveIndex},
        {First(tables, {"Material Absorption"}), &InstrumentHeader::materialAbsorption},
    };
    const auto countRate = First(tables, {"Mean Count Rate (kcps)"});

    std::vector<DataFile> records;
    const std::size_t count = tables.front().rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Record r(tables, i);
        const int number = static_cast<int>(i + 1);
        for (const char* text : {"Sample Name", "Measurement Date and Time"})
            if (auto bad = SameInEveryTable(tables, r, text, i + 1)) return *bad;

        InstrumentHeader h;
        h.instrument = "Zetasizer";
        if (serial && !r.Cell(*serial).empty()) h.instrument += " " + ExportTextToUtf8(r.Cell(*serial));
        if (name) h.sampleName = ExportTextToUtf8(r.Cell(*name));
        if (when) {
            // "12 March 2026 11:20:00": the last word is the time when it has a colon.
            const std::string stated = ExportTextToUtf8(r.Cell(*when));
            const std::size_t space = stated.rfind(' ');
            if (space != std::string::npos && stated.find(':', space) != std::string::npos) {
                h.date = stated.substr(0, space);
                h.time = stated.substr(space + 1);
            } else {
                h.date = stated;
            }
        }
        for (const NumberColumn& n : numbers)
            if (n.column)
                if (auto bad = r.Number(*n.column, h.*n.field)) return *bad;
        if (h.temperatureK) *h.temperatureK += 273.15;
        // Sample values no measurement can have are refused (the temperature
        // quoted in kelvin, as the bounds are).
        using physics::Quantity;
        const std::pair<const NumberColumn&, Quantity> stated[] = {
            {numbers[0], Quantity::Temperature}, {numbers[1], Quantity::Viscosity}, {numbers[2], Quantity::RefractiveIndex}};
        for (const auto& [n, q] : stated) {
            const std::optional<double>& v = h.*n.field;
            if (!v) continue;
            const std::string cell(r.Cell(*n.column));
            const std::string spelt =
                q == Quantity::Temperature ? cell + " \xC2\xB0" "C = " + physics::NumberArg(*v) + " K" : cell;
            if (auto bad = CheckStatedValue(r.RowOf(*n.column).line, tables[n.column->table].names[n.column->index],
                                            spelt, q, *v))
                return *bad;
        }
        if (countRate) {
            std::optional<double> rate;
            if (auto bad = r.Number(*countRate, rate)) return *bad;
            if (rate) h.meanCountRateKHz.push_back(*rate);  // kcps = kHz
        }
        h.assumedAngleDeg = kNanoZsAngleDeg;
        h.assumedWavelengthNm = kNanoZsWavelengthNm;

        DataFile out;
        out.format = FileFormat::Zetasizer;
        out.record = number;
        out.dataKind = DataKind::G2Minus1;
        out.timeUnit = TimeUnit::Microseconds;
        out.columnCount = 2;
        TimeOrder order;
        for (const auto& [k, delayColumn] : correlogram->delay) {
            const Column dataColumn = correlogram->data.at(k);
            std::optional<double> t, y;
            if (auto bad = r.Number(delayColumn, t)) return *bad;
            if (auto bad = r.Number(dataColumn, y)) return *bad;
            if (!t && !y) continue;
            const Column& emptyOne = t ? dataColumn : delayColumn;
            if (!t || !y)
                return Fail("line %1: record %2 has no value in the column '%3' beside the other column of point %4",
                            {std::to_string(r.RowOf(emptyOne).line.number), std::to_string(number),
                             tables[emptyOne.table].names[emptyOne.index], std::to_string(k)},
                            r.RowOf(emptyOne).line.number);
            if (auto bad = order.Check(r.RowOf(delayColumn).line, r.Cell(delayColumn), *t)) return *bad;
            if (out.headerLines == 0) out.headerLines = static_cast<int>(r.RowOf(delayColumn).line.number - 1 - i);
            out.x.push_back(*t);
            out.y.push_back(*y);
        }
        if (out.x.empty()) {
            out.refusal = Fail("record %1 ('%2') holds distributions only, no correlogram",
                               {std::to_string(number), h.sampleName}, r.RowOf(Column{0, 0}).line.number);
        } else {
            out.suggestedFirstPoint = LeadingNonCorrelationPoints(out.x, out.y);
            if (out.suggestedFirstPoint > 0) out.suggestedFirstReason = kDeadTimeReason;
        }
        out.instrument = std::move(h);
        records.push_back(std::move(out));
    }
    return records;
}

}  // namespace fluvena::io
