#include "LsiReader.h"

#include "io/DataReader.h"

#include "ExportText.h"
#include "LineScan.h"

#include <cmath>
#include <limits>

// The layout (ASCII or Windows-1252, CR LF):
//   line 1      the correlation, e.g. "Pseudo Cross Correlation"
//   header      "Key:<TAB>value" lines ("Scattering angle:", "Wavelength (nm):",
//               "Temperature (K):", "Average Count rate  A (kHz):" and "B", or
//               both as "Average Count rate  A/B (kHz):" ...); the
//               instrument's cumulants as "Cumulant 1st<TAB>value[<TAB>value]",
//               -Inf and NaN where its fit failed; a blank line ends it
//   "Lag time (s)   g2-1"               rows: lag time (s), g2 - 1
//   "Count Rate History (KHz)  CR CHA / CR CHB"   rows: time (s), channel A, channel B
// A block's rows run from its title to the first line that does not start
// with a number. A row of the wrong column count, or with a field that is
// not a number, is an error naming its line.

namespace fluvena::io {

namespace {

constexpr std::string_view kLagTitle = "Lag time (s)";
constexpr std::string_view kRateTitle = "Count Rate History";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool StartsWithNumber(std::string_view t)
{
    return !t.empty() && ((t[0] >= '0' && t[0] <= '9') || t[0] == '+' || t[0] == '-' || t[0] == '.');
}

std::vector<std::string_view> Fields(std::string_view t)
{
    std::vector<std::string_view> fields;
    t = Trimmed(t);
    for (std::size_t i = 0; i < t.size();) {
        std::size_t e = i;
        while (e < t.size() && !IsBlank(t[e])) ++e;
        fields.push_back(t.substr(i, e - i));
        i = e;
        while (i < t.size() && IsBlank(t[i])) ++i;
    }
    return fields;
}

// A key with its runs of blanks made one space and without the closing colon:
// "Average Count rate  A (kHz):" -> "Average Count rate A (kHz)".
std::string KeyOf(std::string_view raw)
{
    std::string key;
    for (const char c : Trimmed(raw)) {
        if (IsBlank(c)) {
            if (!key.empty() && key.back() != ' ') key += ' ';
        } else {
            key += c;
        }
    }
    if (!key.empty() && key.back() == ':') key.pop_back();
    while (!key.empty() && key.back() == ' ') key.pop_back();
    return key;
}

// The words the instrument writes where a fit failed.
bool NonFinite(std::string_view f, double& v)
{
    std::string lower;
    for (const char c : f) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "nan" || lower == "+nan" || lower == "-nan") v = std::numeric_limits<double>::quiet_NaN();
    else if (lower == "inf" || lower == "+inf") v = std::numeric_limits<double>::infinity();
    else if (lower == "-inf") v = -std::numeric_limits<double>::infinity();
    else return false;
    return true;
}

std::optional<Failure> Number(const TextLine& line, std::string_view field, double& v)
{
    switch (ReadNumber(field, v)) {
    case NumberStatus::Ok: return std::nullopt;
    case NumberStatus::NotANumber: return NotANumber(line, field, true);
    case NumberStatus::OutOfRange: return OutOfRange(line, field, true);
    }
    return std::nullopt;
}

struct Block {
    std::int64_t titleLine = 0;
    std::size_t columns = 0;
    std::vector<double> time;
    std::vector<std::vector<double>> values;
};

std::optional<Failure> ReadRow(const TextLine& line, Block& block, TimeOrder& order)
{
    const std::vector<std::string_view> fields = Fields(line.text);
    const std::string at = std::to_string(line.number);
    if (block.columns == 0) {
        if (fields.size() < 2)
            return Fail("line %1: a single number where a time and a value are needed", {at}, line.number);
        block.columns = fields.size();
        block.values.resize(fields.size() - 1);
    } else if (fields.size() != block.columns) {
        return Fail("line %1: %2 columns where the block's first row has %3",
                    {at, std::to_string(fields.size()), std::to_string(block.columns)}, line.number);
    }
    for (std::size_t k = 0; k < fields.size(); ++k) {
        double v = 0.0;
        if (auto bad = Number(line, fields[k], v)) return bad;
        if (k == 0) {
            if (auto bad = order.Check(line, fields[0], v)) return bad;
            block.time.push_back(v);
        } else {
            block.values[k - 1].push_back(v);
        }
    }
    return std::nullopt;
}

// Reads one header line; unknown keys are passed by.
std::optional<Failure> ReadHeaderLine(const TextLine& line, InstrumentHeader& h, std::optional<double>& rateA,
                                      std::optional<double>& rateB)
{
    const std::string_view t = Trimmed(line.text);
    std::size_t split = t.find('\t');
    if (split == std::string_view::npos) split = t.find(':');
    if (split == std::string_view::npos) return std::nullopt;
    const std::string key = KeyOf(t.substr(0, split));
    const std::vector<std::string_view> values = Fields(t.substr(split + 1));

    if (key == "Cumulant 1st" || key == "Cumulant 2nd" || key == "Cumulant 3rd") {
        std::vector<double> numbers;
        for (const std::string_view f : values) {
            double v = 0.0;
            if (!NonFinite(f, v))
                if (auto bad = Number(line, f, v)) return bad;
            numbers.push_back(v);
        }
        const std::size_t order = static_cast<std::size_t>(key[9] - '1');
        if (h.reportedCumulants.size() <= order) h.reportedCumulants.resize(order + 1);
        h.reportedCumulants[order] = std::move(numbers);
        return std::nullopt;
    }
    if (key == "Average Count rate A/B (kHz)") {
        // Both channels on one line, as some versions write them.
        if (values.size() != 2)
            return Fail("line %1: '%2' needs two numbers", {std::to_string(line.number), key}, line.number);
        double a = 0.0, b = 0.0;
        if (auto bad = Number(line, values[0], a)) return bad;
        if (auto bad = Number(line, values[1], b)) return bad;
        rateA = a, rateB = b;
        return std::nullopt;
    }
    std::optional<double>* into = nullptr;
    if (key == "Scattering angle") into = &h.angleDeg;
    else if (key == "Wavelength (nm)") into = &h.wavelengthNm;
    else if (key == "Refractive index") into = &h.refractiveIndex;
    else if (key == "Viscosity (mPas)") into = &h.viscosityCp;
    else if (key == "Temperature (K)") into = &h.temperatureK;
    else if (key == "Duration (s)") into = &h.durationS;
    else if (key == "Average Count rate A (kHz)") into = &rateA;
    else if (key == "Average Count rate B (kHz)") into = &rateB;
    if (into == nullptr) return std::nullopt;
    if (values.size() != 1)
        return Fail("line %1: '%2' needs one number", {std::to_string(line.number), key}, line.number);
    double v = 0.0;
    if (auto bad = Number(line, values[0], v)) return bad;
    // Sample values no measurement can have are refused.
    using physics::Quantity;
    const std::optional<Quantity> q = into == &h.angleDeg          ? std::optional(Quantity::Angle)
                                      : into == &h.wavelengthNm    ? std::optional(Quantity::Wavelength)
                                      : into == &h.refractiveIndex ? std::optional(Quantity::RefractiveIndex)
                                      : into == &h.viscosityCp     ? std::optional(Quantity::Viscosity)
                                      : into == &h.temperatureK    ? std::optional(Quantity::Temperature)
                                                                   : std::nullopt;
    if (q)
        if (auto bad = CheckStatedValue(line, key, values[0], *q, v)) return bad;
    *into = v;
    return std::nullopt;
}

}  // namespace

bool LooksLikeLsiFile(std::string_view bytes)
{
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::string_view first = Trimmed(bytes.substr(0, end));
    const std::string_view word = "Correlation";
    if (first.size() < word.size() || first.substr(first.size() - word.size()) != word) return false;
    // A damaged file without its lag block is still this layout, to be refused as such.
    for (const std::string_view key : {kLagTitle, std::string_view("Scattering angle")})
        for (const char* lineBreak : {"\n", "\r"})
            if (bytes.find(lineBreak + std::string(key)) != std::string_view::npos) return true;
    return false;
}

Outcome<DataFile> ReadLsiFile(std::string_view bytes)
{
    const std::vector<TextLine> lines = LinesOf(bytes);
    if (lines.empty()) return Fail(kNoData);
    InstrumentHeader h;
    h.instrument = "LS Instruments";
    h.mode = ExportTextToUtf8(Trimmed(lines[0].text));
    std::optional<double> rateA, rateB;

    enum class Part { Header, Lags, Rates, Other };
    Part part = Part::Header;
    Block lags, rates;
    TimeOrder lagOrder, rateOrder;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const TextLine& line = lines[k];
        const std::string_view t = Trimmed(line.text);
        Block* titled = StartsWith(t, kLagTitle) ? &lags : StartsWith(t, kRateTitle) ? &rates : nullptr;
        if (titled != nullptr) {
            if (titled->titleLine != 0)
                return Fail("line %1: a second \"%2\" block",
                            {std::to_string(line.number), std::string(titled == &lags ? kLagTitle : kRateTitle)},
                            line.number);
            titled->titleLine = line.number;
            part = titled == &lags ? Part::Lags : Part::Rates;
            continue;
        }
        if (part == Part::Header) {
            if (t.empty()) part = Part::Other;
            else if (auto bad = ReadHeaderLine(line, h, rateA, rateB)) return *bad;
        } else if (part == Part::Lags || part == Part::Rates) {
            if (!StartsWithNumber(t)) {
                part = Part::Other;
                continue;
            }
            const bool lag = part == Part::Lags;
            if (auto bad = ReadRow(line, lag ? lags : rates, lag ? lagOrder : rateOrder)) return *bad;
        }
    }
    if (lags.titleLine == 0) return Fail("the file holds no \"Lag time (s)\" block");
    if (lags.time.empty())
        return Fail("line %1: the \"Lag time (s)\" block holds no rows", {std::to_string(lags.titleLine)},
                    lags.titleLine);
    if (lags.columns != 2)
        return Fail("line %1: the \"Lag time (s)\" block has %2 columns where a lag time and g2-1 are needed",
                    {std::to_string(lags.titleLine + 1), std::to_string(lags.columns)}, lags.titleLine + 1);

    if (rateA) h.meanCountRateKHz.push_back(*rateA);
    if (rateA && rateB) h.meanCountRateKHz.push_back(*rateB);

    DataFile out;
    out.format = FileFormat::Lsi;
    out.dataKind = DataKind::G2Minus1;
    out.timeUnit = TimeUnit::Seconds;
    out.headerLines = static_cast<int>(lags.titleLine);
    out.columnCount = 2;
    out.x = std::move(lags.time);
    out.y = std::move(lags.values[0]);
    out.suggestedFirstPoint = LeadingNonCorrelationPoints(out.x, out.y);
    if (out.suggestedFirstPoint > 0) out.suggestedFirstReason = kDeadTimeReason;
    out.countRate.timeS = std::move(rates.time);
    out.countRate.rateKHz = std::move(rates.values);
    out.instrument = std::move(h);
    return out;
}

}  // namespace fluvena::io
