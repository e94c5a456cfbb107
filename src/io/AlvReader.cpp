#include "AlvReader.h"

#include "io/DataReader.h"

#include "Cp1250.h"
#include "LineScan.h"

#include <array>
#include <charconv>

// The layout of a correlator file (Latin-1 text, CR LF):
//   line 1       the instrument, e.g. "ALV-7004 or ALV-7004/FAST Data"
//   header       "Key : <TAB>value" lines, strings in double quotes
//   "Correlation"   rows: lag time (ms), then g2 - 1 of each correlator channel
//   "Count Rate"    rows: time (s), then the count rate (kHz) of each channel
//   further parts: "Monitor Diode<TAB>value", "Cumulant 1.Order" ... blocks.
// A block's rows run from its quoted title to the first line that does not
// start with a number (a blank line, a key, another title). A row inside a
// block that starts with a number but is not all numbers, or has another
// column count than the block's first row, is an error naming its line.

namespace fluvena::io {

namespace {

struct Block {
    std::int64_t titleLine = 0;
    std::int64_t firstRowLine = 0;
    std::size_t columns = 0;  // including the time column
    std::vector<double> time;
    std::vector<std::vector<double>> values;  // one series per column after the time
};

struct Header {
    InstrumentHeader fields;
    std::array<std::optional<double>, 10> meanRate;
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

    const auto number = [&](std::optional<double>& into) -> std::optional<Failure> {
        double v = 0.0;
        switch (ReadNumber(value, v)) {
        case NumberStatus::Ok: into = v; return std::nullopt;
        case NumberStatus::NotANumber: return NotANumber(line, value, true);
        case NumberStatus::OutOfRange: return OutOfRange(line, value, true);
        }
        return std::nullopt;
    };

    if (key == "Date") f.date = StringValue(value);
    else if (key == "Time") f.time = StringValue(value);
    else if (key == "Samplename") f.sampleName = StringValue(value);
    else if (key == "Mode") f.mode = StringValue(value);
    else if (key == "Temperature [K]") return number(f.temperatureK);
    else if (key == "Viscosity [cp]") return number(f.viscosityCp);
    else if (key == "Refractive Index") return number(f.refractiveIndex);
    else if (key == "Wavelength [nm]") return number(f.wavelengthNm);
    else if (key == "Angle [\xB0]" || key == "Angle [\xC2\xB0]") return number(f.angleDeg);
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
        if (fields.size() < 2)
            return Fail("line %1: a single number where a time and a value are needed", {at}, line.number);
        block.columns = fields.size();
        block.firstRowLine = line.number;
        block.values.resize(fields.size() - 1);
    } else if (fields.size() != block.columns) {
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

}  // namespace

bool LooksLikeAlvFile(std::string_view bytes) { return bytes.substr(0, 4) == "ALV-"; }

Outcome<DataFile> ReadAlvFile(std::string_view bytes)
{
    const std::vector<TextLine> lines = LinesOf(bytes);
    if (lines.empty()) return Fail(kNoData);
    Header header;
    header.fields.instrument = Latin1ToUtf8(Trimmed(lines[0].text));

    enum class Part { Header, Correlation, CountRate, Other };
    Part part = Part::Header;
    Block correlation, countRate;
    TimeOrder lagOrder, traceOrder;
    std::vector<std::string_view> fields;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const TextLine& line = lines[k];
        const std::string_view t = Trimmed(line.text);
        if (t.size() >= 2 && t.front() == '"' && t.back() == '"') {
            const std::string_view title = t.substr(1, t.size() - 2);
            Block* block = title == "Correlation" ? &correlation : title == "Count Rate" ? &countRate : nullptr;
            if (block != nullptr && block->titleLine != 0)
                return Fail("line %1: a second \"%2\" block", {std::to_string(line.number), std::string(title)},
                            line.number);
            if (block != nullptr) block->titleLine = line.number;
            part = block == &correlation ? Part::Correlation : block == &countRate ? Part::CountRate : Part::Other;
            continue;
        }
        if (part == Part::Header) {
            if (auto bad = ReadHeaderLine(line, header)) return *bad;
        } else if (part == Part::Correlation || part == Part::CountRate) {
            if (!StartsWithNumber(t)) {
                part = Part::Other;
                continue;
            }
            const bool corr = part == Part::Correlation;
            if (auto bad = ReadRow(line, corr ? correlation : countRate, corr ? lagOrder : traceOrder, fields))
                return *bad;
        }
    }
    if (correlation.titleLine == 0) return Fail("the file holds no \"Correlation\" block");
    if (correlation.time.empty())
        return Fail("line %1: the \"Correlation\" block holds no rows", {std::to_string(correlation.titleLine)},
                    correlation.titleLine);

    // The channels: those the mode names, or for another mode every channel,
    // less the channels whose column is all zeros.
    InstrumentHeader& f = header.fields;
    const std::size_t available = correlation.values.size();
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

    DataFile out;
    out.format = FileFormat::Alv;
    out.dataKind = DataKind::G2Minus1;
    out.timeUnit = TimeUnit::Milliseconds;
    out.headerLines = static_cast<int>(correlation.firstRowLine - 1);
    out.columnCount = static_cast<int>(correlation.columns);
    out.x = correlation.time;
    out.y.assign(out.x.size(), 0.0);
    for (std::size_t i = 0; i < out.y.size(); ++i) {
        double sum = 0.0;
        for (int c : f.channels) sum += correlation.values[static_cast<std::size_t>(c)][i];
        out.y[i] = sum / static_cast<double>(f.channels.size());
    }

    bool allRates = true;
    for (int c : f.channels) {
        // Files with more than ten channels have no MeanCR key for the others.
        const auto ch = static_cast<std::size_t>(c);
        const bool stated = ch < header.meanRate.size() && header.meanRate[ch].has_value();
        allRates = allRates && stated;
        if (stated) f.meanCountRateKHz.push_back(*header.meanRate[ch]);
    }
    if (!allRates) f.meanCountRateKHz.clear();

    if (!countRate.time.empty()) {
        out.countRate.timeS = countRate.time;
        for (int c : f.channels) {
            if (static_cast<std::size_t>(c) >= countRate.values.size())
                return Fail("line %1: the \"Count Rate\" block lacks channel %2",
                            {std::to_string(countRate.titleLine), std::to_string(c)}, countRate.titleLine);
            out.countRate.rateKHz.push_back(countRate.values[static_cast<std::size_t>(c)]);
        }
    }
    out.instrument = std::move(f);
    return out;
}

}  // namespace fluvena::io
