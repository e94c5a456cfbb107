// Structure-aware fuzzing of the data file readers (correlator files and text
// columns). The inputs are whole data files, seeded with the recorded ALV
// files and the text examples; the mutator changes them as files are
// damaged or mistyped: cut at any byte, a line removed, doubled or inserted
// (a row of numbers, NaN, a comment, a blank line), a field added to a row,
// a header value replaced by an extreme one, a block title or a key line
// copied elsewhere. libFuzzer's own byte mutations are used as well.
//
// Whatever the bytes, the readers must return measurements that keep their
// promises or a failure with a message: finite values, times not negative
// and growing, header values a measurement can have, detectors numbered
// from 1 in order with their own angle, and ReadDataFile agreeing with
// ReadDataFiles.
#include "io/DataReader.h"
#include "physics/SampleBounds.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace fluvena;
using namespace fluvena::io;

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

void CheckSeries(const std::vector<double>& time, const std::vector<double>& value)
{
    Require(time.size() == value.size());
    for (std::size_t i = 0; i < time.size(); ++i) {
        Require(std::isfinite(time[i]) && std::isfinite(value[i]) && time[i] >= 0);
        Require(i == 0 || time[i] > time[i - 1]);
    }
}

void CheckStated(const std::optional<double>& v, physics::Quantity q)
{
    if (v) Require(physics::WithinBounds(q, *v));
}

void CheckMeasurement(const DataFile& d)
{
    if (d.refusal) {  // a record an export lists with the reason it cannot be analysed
        Require(d.x.empty() && !d.refusal->message().empty());
        return;
    }
    Require(!d.x.empty() && d.headerLines >= 0 && d.columnCount >= 2);
    CheckSeries(d.x, d.y);
    if (d.format == FileFormat::Text) Require(!d.instrument && !d.detector);
    if (d.format != FileFormat::Alv) return;
    Require(d.instrument.has_value() && !d.instrument->channels.empty());
    const InstrumentHeader& h = *d.instrument;
    using physics::Quantity;
    CheckStated(h.temperatureK, Quantity::Temperature);
    CheckStated(h.viscosityCp, Quantity::Viscosity);
    CheckStated(h.refractiveIndex, Quantity::RefractiveIndex);
    CheckStated(h.wavelengthNm, Quantity::Wavelength);
    CheckStated(h.angleDeg, Quantity::Angle);
    for (const auto& rate : d.countRate.rateKHz) CheckSeries(d.countRate.timeS, rate);
    if (d.detector) Require(h.angleDeg.has_value() && h.channels.size() == 1 && h.channels[0] == *d.detector - 1);
}

// The lines of a file with their line breaks, so that joining them gives the
// file back.
std::vector<std::string> Lines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        lines.emplace_back(bytes.substr(start, i + 1 - start));
        start = i + 1;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines) out += l;
    return out;
}

const char* const kValues[] = {"0",    "-1",     "5",      "1e-300", "1e300", "NaN",   "inf",   "199.99", "200",
                               "500",  "500.01", "0.01",   "1e4",    "1",     "3",     "100",   "2000",  "180",
                               "90",   "1,5",    "1.5.1",  "",       "\"\"",  "2e-3",  "-0",    "1e999", "0x10"};
const char* const kLines[] = {"NaN\tNaN\r\n", "# comment\r\n", "\r\n", "   \r\n", "\"Correlation\"\r\n",
                              "\"Count Rate\"\r\n", "Monitor Diode\t 1.0\r\n", "Angle(3)[\xB0] :\t 45\r\n",
                              "Angle(1)[\xB0] :\t 0\r\n", "MeanCR2 [kHz] :\t 5\r\n", "Mode :\t\"A-CH0\"\r\n",
                              "Duration [s] :\t 1e9\r\n", "ALV-7004 CGS-8F Data, Averaged Run Data\r\n"};

std::string Mutate(std::string bytes, std::mt19937& rng)
{
    std::vector<std::string> lines = Lines(bytes);
    const auto pick = [&](std::size_t n) { return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    switch (pick(8)) {
    case 0:  // cut at any byte
        bytes.resize(pick(bytes.size() + 1));
        return bytes;
    case 1:  // a line removed
        if (!lines.empty()) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(pick(lines.size())));
        break;
    case 2:  // a line doubled or copied elsewhere
        if (!lines.empty()) {
            const std::string copy = lines[pick(lines.size())];
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pick(lines.size() + 1)), copy);
        }
        break;
    case 3:  // a damaged or structural line inserted
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pick(lines.size() + 1)),
                     kLines[pick(std::size(kLines))]);
        break;
    case 4:  // a field added to a row, or the last one taken away
        if (!lines.empty()) {
            std::string& l = lines[pick(lines.size())];
            const std::size_t end = l.find_first_of("\r\n");
            const std::size_t at = end == std::string::npos ? l.size() : end;
            if (pick(2) == 0) {
                l.insert(at, std::string("\t") + kValues[pick(std::size(kValues))]);
            } else {
                const std::size_t tab = l.rfind('\t', at);
                if (tab != std::string::npos) l.erase(tab, at - tab);
            }
        }
        break;
    case 5:  // a header value (after the colon) or a row's field replaced
        if (!lines.empty()) {
            std::string& l = lines[pick(lines.size())];
            const std::size_t end = std::min(l.find_first_of("\r\n"), l.size());
            std::size_t from = l.find(':');
            if (from == std::string::npos || from > end) from = l.rfind('\t', end == 0 ? 0 : end - 1);
            if (from != std::string::npos && from < end)
                l.replace(from + 1, end - from - 1, std::string("\t ") + kValues[pick(std::size(kValues))]);
        }
        break;
    case 6:  // line ends changed: LF only, CR only, none at the end
        for (auto& l : lines) {
            if (l.size() >= 2 && l.compare(l.size() - 2, 2, "\r\n") == 0) l.erase(l.size() - 2, 1);
        }
        break;
    default: {  // a stretch of lines removed (a part of a block lost)
        if (lines.empty()) break;
        const std::size_t a = pick(lines.size()), b = std::min(lines.size(), a + 1 + pick(40));
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(a), lines.begin() + static_cast<std::ptrdiff_t>(b));
        break;
    }
    }
    return Join(lines);
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    std::mt19937 rng(seed);
    // One in four: libFuzzer's byte-level mutations.
    if (rng() % 4 == 0) return LLVMFuzzerMutate(data, size, maxSize);
    std::string out = Mutate(std::string(reinterpret_cast<const char*>(data), size), rng);
    if (out.size() > maxSize) out.resize(maxSize);
    std::memcpy(data, out.data(), out.size());
    return out.size();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Own buffer of exactly the file's length, so that AddressSanitizer sees
    // any read past its end.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ReadOptions options;
    const auto all = ReadDataFiles(bytes, options);
    const auto one = ReadDataFile(bytes, options);
    if (!all.ok()) {
        Require(!all.failure().message().empty() && all.failure().line >= 0);
        Require(!one.ok());
        return 0;
    }
    Require(!all->empty());
    int lastDetector = 0;
    for (const DataFile& d : *all) {
        CheckMeasurement(d);
        if (all->size() > 1 && d.format == FileFormat::Alv) {
            Require(d.detector.has_value() && *d.detector > lastDetector);
            lastDetector = *d.detector;
        }
    }
    const bool detectors = all->front().detector.has_value();
    if (all->size() == 1 && !all->front().refusal) {
        Require(one.ok() && one->x == all->front().x && one->y == all->front().y);
    } else if (detectors) {
        Require(!one.ok());  // a reader of one measurement never averages detectors
    }
    return 0;
}
