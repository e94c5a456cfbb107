#include "AlvReader.h"

#include "io/DataReader.h"

#include "Cp1250.h"
#include "LineScan.h"

#include "physics/SampleBounds.h"

#include <array>
#include <charconv>
#include <map>

// The layout of a correlator file (Latin-1 text, CR LF):
//   line 1       the instrument, e.g. "ALV-7004 or ALV-7004/FAST Data"
//   header       "Key : <TAB>value" lines, strings in double quotes
//   "Correlation"   rows: lag time (ms), then g2 - 1 of each correlator channel
//                   (of each detector, for a multi-detector goniometer)
//   "Count Rate"    rows: time (s), then the count rate (kHz) of each channel
//   further parts: "Monitor Diode<TAB>value", "Cumulant 1.Order" ... blocks.
// A block's rows run from its quoted title to a blank line, another quoted
// title, the "Monitor Diode" line or the end of the file. Inside a block every line is a row of numbers
// with the column count of the block's first row; anything else (a word,
// "NaN", a '#' comment, a blank line followed by more rows) is an error naming
// its line. A file is damaged, and refused, when it ends inside a line (ALV
// ends every line with CR LF), or before the "Count Rate" block of a file that
// is not an averaged run, or inside a "Count Rate" block whose times stop
// short of the measurement's duration.
//
// Multi-detector goniometers (CGS-8F and the like) state one angle per
// detector ("Angle(1)[deg]" ... "Angle(8)[deg]") and one mean count rate per
// detector ("MeanCR1" ... "MeanCR8"), and write one g2 - 1 column per detector
// in the order of the angles: each column is a measurement of its own.

namespace fluvena::io {

namespace {

struct Block {
    std::int64_t titleLine = 0;
    std::int64_t firstRowLine = 0;
    std::int64_t lastRowLine = 0;
    bool closed = false;      // ended by a blank line or another title, not by the end of the file
    std::size_t columns = 0;  // including the time column
    std::vector<double> time;
    std::vector<std::vector<double>> values;  // one series per column after the time
};

struct Header {
    InstrumentHeader fields;
    std::array<std::optional<double>, 10> meanRate;
    std::map<int, double> detectorAngle;  // "Angle(<k>)[deg]", k from 1
    std::int64_t detectorAngleLine = 0;   // the first such key
};

bool StartsWithNumber(std::string_view t)
{
    return !t.empty() && ((t[0] >= '0' && t[0] <= '9') || t[0] == '+' || t[0] == '-' || t[0] == '.');
}

// "<n>" at the end of "SampMemo(<n>)" or "MeanCR<n> [kHz]": a single digit.
std::optional<std::size_t> DigitBetween(std::string_view key, std::string_view before, std::string_view after)
{
    if (key.size() != before.size() + 1 + after.size() || key.substr(0, before.size()) != before ||
        key.substr(before.size() + 1) != after)
        return std::nullopt;
    const char d = key[before.size()];
    if (d < '0' || d > '9') return std::nullopt;
    return static_cast<std::size_t>(d - '0');
}

bool IsDegreeUnit(std::string_view unit) { return unit == "[\xB0]" || unit == "[\xC2\xB0]"; }

// The detector k of "Angle(<k>)[deg]" (k of one or two digits, blanks allowed
// before the unit).
std::optional<int> DetectorAngleKey(std::string_view key)
{
    constexpr std::string_view prefix = "Angle(";
    if (key.substr(0, prefix.size()) != prefix) return std::nullopt;
    std::size_t i = prefix.size();
    int k = 0, digits = 0;
    while (i < key.size() && key[i] >= '0' && key[i] <= '9' && digits < 3) k = 10 * k + (key[i++] - '0'), ++digits;
    if (digits == 0 || digits > 2 || i >= key.size() || key[i] != ')') return std::nullopt;
    if (!IsDegreeUnit(Trimmed(key.substr(i + 1)))) return std::nullopt;
    return k;
}

std::string StringValue(std::string_view value)
{
    if (!value.empty() && value[0] == '"') {
        value.remove_prefix(1);
        const std::size_t close = value.find('"');
        if (close != std::string_view::npos) value = value.substr(0, close);
    }
    return Latin1ToUtf8(Trimmed(value));
}

// Reads one "Key : value" line into the header; unknown keys are ignored.
std::optional<Failure> ReadHeaderLine(const TextLine& line, Header& h)
{
    const std::size_t colon = line.text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trimmed(line.text.substr(0, colon));
    const std::string_view value = Trimmed(line.text.substr(colon + 1));
    InstrumentHeader& f = h.fields;

    const auto number = [&](std::optional<double>& into,
                            std::optional<physics::Quantity> q = std::nullopt) -> std::optional<Failure> {
        double v = 0.0;
        switch (ReadNumber(value, v)) {
        case NumberStatus::Ok: break;
        case NumberStatus::NotANumber: return NotANumber(line, value, true);
        case NumberStatus::OutOfRange: return OutOfRange(line, value, true);
        }
        if (q)
            if (auto bad = CheckStatedValue(line, key, value, *q, v)) return bad;
        into = v;
        return std::nullopt;
    };

    using physics::Quantity;
    if (key == "Date") f.date = StringValue(value);
    else if (key == "Time") f.time = StringValue(value);
    else if (key == "Samplename") f.sampleName = StringValue(value);
    else if (key == "Mode") f.mode = StringValue(value);
    else if (key == "Temperature [K]") return number(f.temperatureK, Quantity::Temperature);
    else if (key == "Viscosity [cp]") return number(f.viscosityCp, Quantity::Viscosity);
    else if (key == "Refractive Index") return number(f.refractiveIndex, Quantity::RefractiveIndex);
    else if (key == "Wavelength [nm]") return number(f.wavelengthNm, Quantity::Wavelength);
    else if (key == "Angle [\xB0]" || key == "Angle [\xC2\xB0]") return number(f.angleDeg, Quantity::Angle);
    else if (key == "Duration [s]") return number(f.durationS);
    else if (key == "Runs") {
        int runs = 0;
        const auto r = std::from_chars(value.data(), value.data() + value.size(), runs);
        if (r.ec != std::errc() || r.ptr != value.data() + value.size())
            return Fail("line %1: '%2' is not a whole number", {std::to_string(line.number), Quoted(value, true)},
                        line.number);
        f.runs = runs;
    } else if (const auto memo = DigitBetween(key, "SampMemo(", ")")) {
        if (f.sampleMemo.size() <= *memo) f.sampleMemo.resize(*memo + 1);
        f.sampleMemo[*memo] = StringValue(value);
    } else if (const auto channel = DigitBetween(key, "MeanCR", " [kHz]")) {
        return number(h.meanRate[*channel]);
    } else if (const auto detector = DetectorAngleKey(key)) {
        if (h.detectorAngle.count(*detector) != 0)
            return Fail("line %1: a second angle of detector %2", {std::to_string(line.number), std::to_string(*detector)},
                        line.number);
        std::optional<double> angle;
        if (auto bad = number(angle, Quantity::Angle)) return bad;
        h.detectorAngle[*detector] = *angle;
        if (h.detectorAngleLine == 0) h.detectorAngleLine = line.number;
    }
    return std::nullopt;
}

// Appends a row of numbers to a block.
std::optional<Failure> ReadRow(const TextLine& line, Block& block, TimeOrder& order,
                               std::vector<std::string_view>& fields)
{
    fields.clear();
    const std::string_view t = Trimmed(line.text);
    for (std::size_t i = 0; i < t.size();) {
        std::size_t e = i;
        while (e < t.size() && !IsBlank(t[e])) ++e;
        fields.push_back(t.substr(i, e - i));
        i = e;
        while (i < t.size() && IsBlank(t[i])) ++i;
    }
    const std::string at = std::to_string(line.number);
    if (block.columns == 0) {
        if (fields.size() < 2) {
            double v = 0.0;
            if (ReadNumber(fields[0], v) == NumberStatus::NotANumber) return NotANumber(line, fields[0], true);
            return Fail("line %1: a single number where a time and a value are needed", {at}, line.number);
        }
        block.columns = fields.size();
        block.firstRowLine = line.number;
        block.values.resize(fields.size() - 1);
    } else if (fields.size() != block.columns) {
        // A word in the row says more than its column count.
        for (std::string_view field : fields) {
            double v = 0.0;
            if (ReadNumber(field, v) == NumberStatus::NotANumber) return NotANumber(line, field, true);
        }
        return Fail("line %1: %2 columns where the block's first row has %3",
                    {at, std::to_string(fields.size()), std::to_string(block.columns)}, line.number);
    }
    for (std::size_t k = 0; k < fields.size(); ++k) {
        double v = 0.0;
        switch (ReadNumber(fields[k], v)) {
        case NumberStatus::Ok: break;
        case NumberStatus::NotANumber: return NotANumber(line, fields[k], true);
        case NumberStatus::OutOfRange: return OutOfRange(line, fields[k], true);
        }
        if (k == 0) {
            if (auto bad = order.Check(line, fields[0], v)) return bad;
            block.time.push_back(v);
        } else {
            block.values[k - 1].push_back(v);
        }
    }
    block.lastRowLine = line.number;
    return std::nullopt;
}

// The channels a mode names: "A-CH<n>", the auto-correlation of channel n;
// "C-CH<a>/<b>?<b>/<a>", the two cross-correlations of channels a and b (ALV
// writes '+' or 'a' between them). Nothing for other modes.
std::optional<std::vector<int>> ModeChannels(std::string_view mode)
{
    const auto digit = [&](std::size_t i) { return i < mode.size() && mode[i] >= '0' && mode[i] <= '9'; };
    if (mode.size() == 5 && mode.substr(0, 4) == "A-CH" && digit(4)) return std::vector<int>{mode[4] - '0'};
    if (mode.size() == 11 && mode.substr(0, 4) == "C-CH" && digit(4) && mode[5] == '/' && digit(6) &&
        digit(8) && mode[9] == '/' && digit(10) && mode[4] == mode[10] && mode[6] == mode[8] && mode[4] != mode[6]) {
        const int a = mode[4] - '0', b = mode[6] - '0';
        return a < b ? std::vector<int>{a, b} : std::vector<int>{b, a};
    }
    return std::nullopt;
}

bool AllZero(const std::vector<double>& v)
{
    for (double d : v)
        if (d != 0.0) return false;
    return true;
}

// What the reading of the lines gives: the header and the two blocks.
struct Parsed {
    Header header;
    Block correlation, countRate;
    std::int64_t lastLine = 0;
};

Outcome<Parsed> ParseLines(std::string_view bytes)
{
    const std::vector<TextLine> lines = LinesOf(bytes);
    if (lines.empty()) return Fail(kNoData);
    // ALV ends every line with CR LF: a last line without its line break is
    // where the file was cut, and its last number may be cut too (blanks
    // alone there would end a block early).
    const char lastByte = bytes.back();
    if (lastByte != '\n' && lastByte != '\r')
        return Fail("line %1: the file ends inside this line: it is cut short", {std::to_string(lines.back().number)},
                    lines.back().number);
    Parsed p;
    p.lastLine = lines.back().number;
    p.header.fields.instrument = Latin1ToUtf8(Trimmed(lines[0].text));

    // Rows: inside a block; AfterBlock: after the blank line that ended one.
    enum class Part { Header, Rows, AfterBlock, Other };
    Part part = Part::Header;
    Block* block = nullptr;
    std::int64_t blankLine = 0;
    TimeOrder lagOrder, traceOrder;
    std::vector<std::string_view> fields;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const TextLine& line = lines[k];
        const std::string_view t = Trimmed(line.text);
        // The monitor diode's line also ends a block that no blank line ended.
        if (part == Part::Rows && t.substr(0, 13) == "Monitor Diode") {
            block->closed = true;
            part = Part::Other;
            continue;
        }
        if (t.size() >= 2 && t.front() == '"' && t.back() == '"') {
            if (part == Part::Rows && block != nullptr) block->closed = true;
            const std::string_view title = t.substr(1, t.size() - 2);
            block = title == "Correlation" ? &p.correlation : title == "Count Rate" ? &p.countRate : nullptr;
            if (block != nullptr && block->titleLine != 0)
                return Fail("line %1: a second \"%2\" block", {std::to_string(line.number), std::string(title)},
                            line.number);
            if (block != nullptr) block->titleLine = line.number;
            part = block != nullptr ? Part::Rows : Part::Other;
            continue;
        }
        switch (part) {
        case Part::Header:
            if (auto bad = ReadHeaderLine(line, p.header)) return *bad;
            break;
        case Part::Rows:
            if (t.empty()) {
                block->closed = true;
                blankLine = line.number;
                part = Part::AfterBlock;
            } else if (auto bad = ReadRow(line, *block, block == &p.correlation ? lagOrder : traceOrder, fields)) {
                return *bad;
            }
            break;
        case Part::AfterBlock:
            if (t.empty()) break;
            if (StartsWithNumber(t))
                return Fail("line %1: a blank line inside the \"%2\" block",
                            {std::to_string(blankLine), block == &p.correlation ? "Correlation" : "Count Rate"},
                            blankLine);
            part = Part::Other;
            break;
        case Part::Other: break;
        }
    }
    return p;
}

// The block ran to the end of the file: the file is whole only when the
// times of the count-rate trace reach the measurement's duration (within the
// few samples ALV leaves off at the end).
std::optional<Failure> CheckTraceEnd(const Parsed& p)
{
    const Block& b = p.countRate;
    const auto cut = [&](std::int64_t line) {
        return Fail("line %1: the file ends inside the \"Count Rate\" block: it is cut short", {std::to_string(line)},
                    line);
    };
    if (b.closed || b.titleLine == 0) return std::nullopt;
    if (b.time.size() < 2) return cut(p.lastLine);
    const std::optional<double>& duration = p.header.fields.durationS;
    if (!duration) return std::nullopt;
    const double step = (b.time.back() - b.time.front()) / static_cast<double>(b.time.size() - 1);
    if (b.time.back() + 4.0 * step < *duration) return cut(p.lastLine);
    return std::nullopt;
}

DataFile MeasurementOf(const Parsed& p, const InstrumentHeader& fields)
{
    DataFile out;
    out.format = FileFormat::Alv;
    out.dataKind = DataKind::G2Minus1;
    out.timeUnit = TimeUnit::Milliseconds;
    out.headerLines = static_cast<int>(p.correlation.firstRowLine - 1);
    out.columnCount = static_cast<int>(p.correlation.columns);
    out.x = p.correlation.time;
    out.instrument = fields;
    return out;
}

// One measurement per detector column of a multi-detector file. Detectors
// whose column is all zeros were not in use.
Outcome<std::vector<DataFile>> DetectorMeasurements(const Parsed& p)
{
    const Header& h = p.header;
    const std::size_t n = h.detectorAngle.size();
    const std::string at = std::to_string(h.detectorAngleLine);
    if (h.detectorAngle.begin()->first != 1 || h.detectorAngle.rbegin()->first != static_cast<int>(n))
        return Fail("line %1: the detector angles are not numbered 1 to %2", {at, std::to_string(n)},
                    h.detectorAngleLine);
    const Block& c = p.correlation;
    if (c.values.size() != n)
        return Fail("line %1: the \"Correlation\" block has %2 columns of values, but the header gives the angles of "
                    "%3 detectors: the columns cannot be matched to the angles",
                    {std::to_string(c.firstRowLine), std::to_string(c.values.size()), std::to_string(n)},
                    c.firstRowLine);
    if (!p.countRate.time.empty() && p.countRate.values.size() != n)
        return Fail("line %1: the \"Count Rate\" block has %2 columns of rates, but the header gives the angles of "
                    "%3 detectors: the columns cannot be matched to the detectors",
                    {std::to_string(p.countRate.firstRowLine), std::to_string(p.countRate.values.size()),
                     std::to_string(n)},
                    p.countRate.firstRowLine);
    std::vector<DataFile> out;
    for (const auto& [k, angle] : h.detectorAngle) {
        const auto column = static_cast<std::size_t>(k - 1);
        if (AllZero(c.values[column])) continue;
        InstrumentHeader fields = h.fields;
        fields.angleDeg = angle;
        fields.channels = {k - 1};
        if (column + 1 < h.meanRate.size() && h.meanRate[column + 1]) fields.meanCountRateKHz = {*h.meanRate[column + 1]};
        DataFile d = MeasurementOf(p, fields);
        d.y = c.values[column];
        if (!p.countRate.time.empty()) {
            d.countRate.timeS = p.countRate.time;
            d.countRate.rateKHz = {p.countRate.values[column]};
        }
        if (n > 1) d.detector = k;
        out.push_back(std::move(d));
    }
    if (out.empty())
        return Fail("line %1: the \"Correlation\" block holds only zeros", {std::to_string(c.titleLine)}, c.titleLine);
    return out;
}

// The one measurement of a file without detector angles: the correlation of
// the channels the mode names, averaged.
Outcome<DataFile> ChannelMeasurement(const Parsed& p)
{
    const Block& correlation = p.correlation;
    const Block& countRate = p.countRate;
    InstrumentHeader f = p.header.fields;
    const std::size_t available = correlation.values.size();
    // The channels: those the mode names, or for another mode every channel,
    // less the channels whose column is all zeros.
    std::vector<int> named;
    if (const auto m = ModeChannels(f.mode)) {
        named = *m;
    } else {
        for (std::size_t c = 0; c < available; ++c) named.push_back(static_cast<int>(c));
    }
    for (int c : named) {
        if (static_cast<std::size_t>(c) >= available)
            return Fail("line %1: the mode '%2' names channel %3, which the \"Correlation\" block lacks",
                        {std::to_string(correlation.titleLine), f.mode, std::to_string(c)}, correlation.titleLine);
        if (!AllZero(correlation.values[static_cast<std::size_t>(c)])) f.channels.push_back(c);
    }
    if (f.channels.empty())
        return Fail("line %1: the \"Correlation\" block holds only zeros in the channels the mode '%2' names",
                    {std::to_string(correlation.titleLine), f.mode}, correlation.titleLine);

    bool allRates = true;
    std::vector<double> rates;
    for (int c : f.channels) {
        // Files with more than ten channels have no MeanCR key for the others.
        const auto ch = static_cast<std::size_t>(c);
        const bool stated = ch < p.header.meanRate.size() && p.header.meanRate[ch].has_value();
        allRates = allRates && stated;
        if (stated) rates.push_back(*p.header.meanRate[ch]);
    }
    if (allRates) f.meanCountRateKHz = rates;

    DataFile out = MeasurementOf(p, f);
    out.y.assign(out.x.size(), 0.0);
    for (std::size_t i = 0; i < out.y.size(); ++i) {
        double sum = 0.0;
        for (int c : f.channels) sum += correlation.values[static_cast<std::size_t>(c)][i];
        out.y[i] = sum / static_cast<double>(f.channels.size());
    }
    if (!countRate.time.empty()) {
        out.countRate.timeS = countRate.time;
        for (int c : f.channels) {
            if (static_cast<std::size_t>(c) >= countRate.values.size())
                return Fail("line %1: the \"Count Rate\" block lacks channel %2",
                            {std::to_string(countRate.titleLine), std::to_string(c)}, countRate.titleLine);
            out.countRate.rateKHz.push_back(countRate.values[static_cast<std::size_t>(c)]);
        }
    }
    return out;
}

}  // namespace

bool LooksLikeAlvFile(std::string_view bytes) { return bytes.substr(0, 4) == "ALV-"; }

Outcome<std::vector<DataFile>> ReadAlvFiles(std::string_view bytes)
{
    Outcome<Parsed> parsed = ParseLines(bytes);
    if (!parsed) return parsed.failure();
    const Parsed& p = *parsed;
    const Block& c = p.correlation;
    if (c.titleLine == 0) return Fail("the file holds no \"Correlation\" block");
    if (c.time.empty())
        return Fail("line %1: the \"Correlation\" block holds no rows", {std::to_string(c.titleLine)}, c.titleLine);
    // Only an averaged run comes without its count-rate trace.
    const bool averaged = p.header.fields.instrument.find("Averaged") != std::string::npos;
    if (!averaged && p.countRate.titleLine == 0) {
        if (!c.closed)
            return Fail("line %1: the file ends inside the \"Correlation\" block: it is cut short",
                        {std::to_string(p.lastLine)}, p.lastLine);
        return Fail("line %1: the file ends before its \"Count Rate\" block: it is cut short",
                    {std::to_string(p.lastLine)}, p.lastLine);
    }
    if (auto bad = CheckTraceEnd(p)) return *bad;
    if (!p.header.detectorAngle.empty()) return DetectorMeasurements(p);
    Outcome<DataFile> one = ChannelMeasurement(p);
    if (!one) return one.failure();
    return std::vector<DataFile>{std::move(*one)};
}

Outcome<DataFile> ReadAlvFile(std::string_view bytes)
{
    Outcome<std::vector<DataFile>> all = ReadAlvFiles(bytes);
    if (!all) return all.failure();
    if (all->size() > 1)
        return Fail("the file holds the measurements of %1 detectors, which are read as separate measurements",
                    {std::to_string(all->size())});
    return std::move(all->front());
}

}  // namespace fluvena::io
