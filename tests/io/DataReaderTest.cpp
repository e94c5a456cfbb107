// The data files read: text files of columns, the correlator's files of one
// detector or of several, and the exports of other instruments.
#include "io/Cp1250.h"
#include "io/DataReader.h"
#include "io/ExportText.h"
#include "io/FileIO.h"
#include "io/LineScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <ranges>
#include <string>
#include <tuple>
#include <vector>

using namespace fluvena;
using namespace fluvena::io;

namespace {

DataFile MustRead(const std::string& bytes, const ReadOptions& options = {})
{
    auto r = ReadDataFile(bytes, options);
    EXPECT_TRUE(r.ok()) << testing::PrintToString(bytes) << ": " << (r.ok() ? "" : r.failure().message());
    return r.ok() ? r.value() : DataFile{};
}

// A correlator file with the given header lines and correlation rows.
std::string Alv(const std::string& header, const std::string& rows)
{
    return "ALV-5000/E-WIN Data\r\n" + header + "\r\n\r\n\"Correlation\"\r\n" + rows +
           "\r\n\"Count Rate\"\r\n 0.5\t10\t20\t30\t40\r\n 1.0\t11\t21\t31\t41\r\nMonitor Diode\t  3.5\r\n";
}

const char* const kRows = " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2\t0\t0\r\n";

// A goniometer file with the given angle keys and rows (no trace: an averaged run).
std::string Goniometer(const std::string& angles, const std::string& rows, const std::string& tail = "")
{
    return "ALV-7004 CGS-8F Data, Averaged Run Data\r\nMode :\t\"3 x AUTO\"\r\n" + angles +
           "MeanCR1 [kHz] :\t 5\r\nMeanCR3 [kHz] :\t 7\r\n\r\n\"Correlation\"\r\n" + rows + tail;
}

const char* const kAngles3 = "Angle(1)[\xB0]     :\t 30\r\nAngle(2)[\xB0] :\t 90\r\nAngle(3)[\xB0] :\t 150\r\n";


std::string Fixture(const std::string& name) { return ReadFile(std::string(FLUVENA_TEST_DATA) + "/instruments/" + name); }

std::vector<std::string> Split(const std::string& s, const std::string& separator)
{
    std::vector<std::string> parts;
    for (const auto part : std::views::split(s, separator)) parts.emplace_back(part.begin(), part.end());
    return parts;
}

// The export as tables of rows of cells (tables apart at a blank line), and back.
using Table = std::vector<std::vector<std::string>>;

std::vector<Table> TablesOf(const std::string& bytes)
{
    std::vector<Table> tables;
    for (const std::string& block : Split(bytes.substr(0, bytes.size() - 2), "\r\n\r\n")) {
        tables.emplace_back();
        for (const std::string& line : Split(block, "\r\n")) tables.back().push_back(Split(line, "\t"));
    }
    return tables;
}

std::string Joined(const std::vector<Table>& tables, const std::string& eol = "\r\n")
{
    std::string out;
    for (const Table& t : tables) {
        out += out.empty() ? "" : eol;
        for (const auto& row : t) {
            for (std::size_t c = 0; c < row.size(); ++c) out += (c > 0 ? "\t" : "") + row[c];
            out += eol;
        }
    }
    return out;
}

std::size_t ColumnOf(const Table& t, const std::string& name)
{
    return static_cast<std::size_t>(std::find(t[0].begin(), t[0].end(), name) - t[0].begin());
}

// What a record says, flattened for comparison.
std::string Summary(const DataFile& d)
{
    const InstrumentHeader& h = d.instrument.value();
    std::string s = h.sampleName + "|" + h.date + "|" + h.time + "|";
    for (const auto& v : {h.temperatureK, h.viscosityCp, h.refractiveIndex, h.durationS, h.reportedIntercept,
                          h.reportedZAverageNm, h.reportedPdi, h.materialRefractiveIndex, h.materialAbsorption})
        s += (v ? std::to_string(*v) : "-") + "|";
    for (double r : h.meanCountRateKHz) s += std::to_string(r) + "|";
    return s + std::to_string(d.x.size());
}

}  // namespace

// Every notation read whole and correctly rounded (the expected values are the
// compiler's own reading of the same digits), every separator and line end,
// and the lines of text before the data.
TEST(TextReader, NumbersSeparatorsAndHeaderLines)
{
    struct Case { const char* bytes; std::vector<double> x, y; int columns = 2, headerLines = 0; ReadOptions options = {}; };
    const Case cases[] = {
        {"5.0000000E-07\t8.9104485E-01", {5.0000000E-07}, {8.9104485E-01}},  // the earlier reader cut the exponent
        {"1.5e+01\t1,5E-03", {1.5e+01}, {1.5E-03}}, {"0\t-.5", {0.0}, {-.5}}, {"+3\t+3", {3.0}, {3.0}},
        {"1e5\t1E+005", {1e5}, {1e5}}, {"5.\t.5", {5.0}, {0.5}},
        {"0.12345678901234567890123\t-0.002457", {0.12345678901234567890123}, {-0.002457}},
        {"1\t2\n2\t-0.002457", {1, 2}, {2, -0.002457}},  // a 9-character value on a later line: read whole
        {"1\t0.5\r\n2\t0.25\r\n", {1, 2}, {0.5, 0.25}},
        {"1\t0,5\n2\t0.25", {1, 2}, {0.5, 0.25}},  // marks mixed, as the earlier reader allowed
        {"  1.5e-3 \t  2 \r3e-3\t4\r", {1.5e-3, 3e-3}, {2, 4}},
        {"0,5;1,25\r\n1,5;-2\r\n", {0.5, 1.5}, {1.25, -2}},
        {"1;2;\n3;4;\n", {1, 3}, {2, 4}}, {"1, 2\n3, 4", {1, 3}, {2, 4}},
        {"0.5, 1.25\n1.5 , 2\n", {0.5, 1.5}, {1.25, 2}},
        {"1,5,2,5\n2,5,3,5\n", {1, 2}, {5, 5}, 4},  // no other separator: commas separate
        {"0,5 1,25\n  1,5   2\n", {0.5, 1.5}, {1.25, 2}},
        {"1 2 3\n2 4 6\n\n\n", {1, 2}, {2, 4}, 3},
        {"1\t2\t3\n2\t4\t6", {1, 2}, {3, 6}, 3, 0, {FormatChoice::Auto, 1, 3}},
        {"1\t2\t3\n2\t4\t6", {2, 4}, {1, 2}, 3, 0, {FormatChoice::Text, 2, 1}},
        {"\xEF\xBB\xBF" "0.5\t1", {0.5}, {1}},  // the earlier reader read 0 here
        {"Lag time [us]\tg2-1\r\n0.5\t1\r\n", {0.5}, {1}, 2, 1},  // the earlier reader added a point (0, 0)
        {"\xEF\xBB\xBFt;g1\n2;1", {2}, {1}, 2, 1},
        {"# sample 5, T = 298 K\n\n  \nczas [\xB5s] wartosc\n3 1\n", {3}, {1}, 2, 4},
        {"\r\n\r\n1.5e-3\t1", {1.5e-3}, {1}, 2, 2},
    };
    for (const auto& c : cases) {
        const DataFile d = MustRead(c.bytes, c.options);
        EXPECT_EQ(std::tie(d.x, d.y, d.columnCount, d.headerLines), std::tie(c.x, c.y, c.columns, c.headerLines)) << c.bytes;
        EXPECT_TRUE(d.format == FileFormat::Text && !d.instrument) << c.bytes;
    }
}

// The recorded files with the values their headers state; the counts come from
//   awk 'BEGIN{RS="\r\n"} /^"Correlation"/{b=1;next} /^"Count Rate"/{b=2;next}
//        /^$/{b=0} b==1{n++; if (($2+$3)<0) neg++} b==2{m++} END{print n, neg, m}'
TEST(AlvReader, RecordedFiles)
{
    struct Case { const char *file, *instrument, *mode; double temperature, angle, duration, meanCr0, meanCr1;
                  std::size_t points, negative, trace; int headerLines; double lag0, ch0, ch1, lastLag, lastTraceTime; };
    const Case cases[] = {
        {"LC8.2_0001.ASC", "ALV-7004 or ALV-7004/FAST Data", "C-CH0/1+1/0", 297.92675, 21.7, 40, 2312.38965,
         2884.79443, 206, 18, 254, 28, 2.5e-5, 2.23088E-001, 2.22329E-001, 5.87203E+003, 39.68750},
        {"LC8.2_0028.ASC", "ALV-7004 or ALV-7004/FAST Data", "C-CH0/1+1/0", 297.94326, 55.0, 31, 495.82343,
         425.42453, 206, 29, 253, 28, 2.5e-5, 2.91469E-001, 2.88292E-001, 5.87203E+003, 30.63672},
        {"LC8.2_0045.ASC", "ALV-7004 or ALV-7004/FAST Data", "C-CH0/1+1/0", 297.94326, 87.5, 26, 690.99994,
         579.88300, 206, 39, 253, 28, 2.5e-5, 2.94745E-001, 2.95794E-001, 5.87203E+003, 25.69531},
        {"toluene-0001.ASC", "ALV-7004 or ALV-7004/FAST", "C-CH0/1a1/0", 298.57227, 25.0, 30, 77.10804, 66.50671,
         239, 126, 255, 30, 3.125e-6, 7.08044E-003, 1.12422E-002, 1.25829E+004, 29.88281},
    };
    for (const auto& c : cases) {
        const auto r = ReadDataFile(ReadFile(std::string(FLUVENA_TEST_DATA) + "/alv/" + c.file), {});
        ASSERT_TRUE(r.ok()) << c.file << ": " << r.failure().message();
        const DataFile& d = r.value();
        const InstrumentHeader& h = d.instrument.value();
        EXPECT_TRUE(d.format == FileFormat::Alv && d.dataKind == DataKind::G2Minus1 && d.timeUnit == TimeUnit::Milliseconds);
        EXPECT_EQ(std::tuple(h.instrument, h.mode, h.sampleMemo.size()), std::tuple(c.instrument, c.mode, 10u)) << c.file;
        EXPECT_EQ(std::vector<std::optional<double>>({h.temperatureK, h.viscosityCp, h.refractiveIndex,
                                                      h.wavelengthNm, h.angleDeg, h.durationS}),
                  std::vector<std::optional<double>>({c.temperature, 0.89, 1.332, 632.8, c.angle, c.duration}))
            << c.file;
        EXPECT_EQ(std::tuple(h.runs, h.channels, h.meanCountRateKHz, d.headerLines),
                  std::tuple(1, std::vector<int>{0, 1}, std::vector<double>{c.meanCr0, c.meanCr1}, c.headerLines)) << c.file;
        ASSERT_EQ(d.x.size(), c.points) << c.file;
        EXPECT_EQ(std::tuple(d.x.front(), d.x.back(), d.y.front()), std::tuple(c.lag0, c.lastLag, (c.ch0 + c.ch1) / 2))
            << c.file;
        std::size_t negative = 0;
        for (double v : d.y) negative += v < 0;
        EXPECT_EQ(negative, c.negative) << c.file;
        ASSERT_EQ(d.countRate.rateKHz.size(), 2u);
        EXPECT_EQ(std::tuple(d.countRate.timeS.size(), d.countRate.rateKHz[1].size(), d.countRate.timeS.back()),
                  std::tuple(c.trace, c.trace, c.lastTraceTime)) << c.file;
    }
}

// The mode names the channels averaged.
TEST(AlvReader, ModesAndChannels)
{
    struct Read { std::string bytes; std::vector<int> channels; std::vector<double> y; };
    const std::vector<double> both{(0.5 + 0.3) / 2, (0.4 + 0.2) / 2};
    const Read reads[] = {
        {Alv("Mode :\t\"A-CH0\"\r\nMeanCR0 [kHz] :\t 7.5", kRows), {0}, {0.5, 0.4}},
        {Alv("Mode :\t\"C-CH0/1+1/0 \"", kRows), {0, 1}, both},
        {Alv("Mode :\t\"C-CH0/1+1/0\"", " 1e-3\t0.5\t0\t0\t0\r\n 2e-3\t0.4\t0\t0\t0\r\n"), {0}, {0.5, 0.4}},
        {Alv("Mode :\t\"SINGLE CROSS\"", " 1\t0.5\t0\t0.25\t0\r\n"), {0, 2}, {0.375}},
        {Alv("Mode :\t\"C-CH0/1+2/3\"", " 1\t0.5\t0\t0.25\t0.25\r\n"), {0, 2, 3}, {1.0 / 3}},
        {"\xEF\xBB\xBF" + Alv("", kRows), {0, 1}, both},
        // The trace ends a few samples short of the duration, as ALV writes it.
        {Alv("Duration [s] :\t 1", kRows), {0, 1}, both},
    };
    for (const auto& c : reads) {
        const auto r = ReadDataFile(c.bytes, {FormatChoice::Auto, 1, 2});
        ASSERT_TRUE(r.ok()) << c.bytes << ": " << r.failure().message();
        EXPECT_EQ(std::tie(r->instrument->channels, r->y), std::tie(c.channels, c.y)) << c.bytes;
        EXPECT_EQ(r->x.front(), r->y.size() == 1 ? 1.0 : 1e-3);
        EXPECT_EQ(r->countRate.rateKHz.size(), c.channels.size());
        const double last = 10.0 * c.channels.back();
        EXPECT_EQ(r->countRate.rateKHz.back(), (std::vector<double>{10.0 + last, 11.0 + last}));
    }
}

// Header texts are Latin-1 in the file and UTF-8 once read; mean count rates
// are given only when the header states one for every channel used.
TEST(AlvReader, HeaderTexts)
{
    const auto r = ReadDataFile(Alv("Samplename : \t\"\xB5-gel 2\xB0 \"\r\nSampMemo(3) : \t\"x\"\r\nMode :\t\"C-CH0/1a1/0\"\r\n"
                                    "MeanCR0 [kHz] :\t 7.5\r\nFloatDur [ms] :\t 3",
                                    kRows),
                                {});
    ASSERT_TRUE(r.ok()) << r.failure().message();
    const InstrumentHeader& h = *r->instrument;
    EXPECT_EQ(std::tuple(h.instrument, h.sampleName, h.sampleMemo, h.channels),
              std::tuple("ALV-5000/E-WIN Data", "\xC2\xB5-gel 2\xC2\xB0", std::vector<std::string>{"", "", "", "x"},
                         std::vector<int>{0, 1}));
    EXPECT_TRUE(h.meanCountRateKHz.empty() && !h.temperatureK);
}

// The eight-detector file of a latex: each column is a measurement at its own
// angle, with its own count rate (the size each gives is held to the latex's
// in the angle fit of the set).
TEST(AlvReader, EightDetectors)
{
    const std::string bytes = ReadFile(std::string(FLUVENA_TEST_DATA) + "/alv/multiangle-8det.ASC");
    const auto all = ReadDataFiles(bytes, {});
    ASSERT_TRUE(all.ok()) << all.failure().message();
    ASSERT_EQ(all->size(), 8u);
    const double meanCr[] = {80.06951, 90.88390, 100.98015, 110.04293, 120.31349, 130.13107, 140.02104, 150.05136};
    const double firstRow[] = {8.51655E-01, 8.49570E-01, 8.51390E-01, 8.51714E-01,
                               8.51850E-01, 8.48303E-01, 8.48578E-01, 8.47574E-01};
    for (int k = 1; k <= 8; ++k) {
        const DataFile& d = (*all)[static_cast<std::size_t>(k - 1)];
        const InstrumentHeader& h = d.instrument.value();
        EXPECT_EQ(std::tuple(d.detector, h.angleDeg, h.channels, h.meanCountRateKHz, d.y.front(), d.headerLines),
                  std::tuple(k, 15.0 + 15.0 * k, std::vector<int>{k - 1}, std::vector<double>{meanCr[k - 1]},
                             firstRow[k - 1], 39)) << "detector " << k;
        EXPECT_TRUE(d.x.size() == (*all)[0].x.size() && d.countRate.timeS.empty()) << "detector " << k;
    }
    // A reader of one measurement does not average the angles.
    const auto one = ReadDataFile(bytes, {});
    ASSERT_FALSE(one.ok());
    EXPECT_EQ(one.failure().message(), "the file holds the measurements of 8 detectors, which are read as separate measurements");
}

// Detectors with a zero column were not in use.
TEST(AlvReader, DetectorLayouts)
{
    const auto used = ReadDataFiles(Goniometer(kAngles3, " 1\t0.5\t0\t0.3\r\n 2\t0.4\t0\t0.2\r\n"), {});
    ASSERT_TRUE(used.ok()) << used.failure().message();
    ASSERT_EQ(used->size(), 2u);
    const DataFile &first = (*used)[0], &third = (*used)[1];
    EXPECT_EQ(std::tuple(first.detector, third.detector, third.instrument->angleDeg, third.y),
              std::tuple(1, 3, 150.0, std::vector<double>{0.3, 0.2}));
    EXPECT_EQ(std::pair(first.instrument->meanCountRateKHz, third.instrument->meanCountRateKHz),
              std::pair(std::vector<double>{5.0}, std::vector<double>{7.0}));
}

// A file cut anywhere is refused or, where the cut lost nothing the reader
// keeps (the monitor diode, the cumulant results), read as the whole file:
// never the part before the cut.
TEST(AlvReader, CutFiles)
{
    for (const char* name : {"LC8.2_0001.ASC", "LC8.2_0028.ASC", "LC8.2_0045.ASC", "toluene-0001.ASC", "multiangle-8det.ASC"}) {
        const std::string bytes = ReadFile(std::string(FLUVENA_TEST_DATA) + "/alv/" + name);
        const auto whole = ReadDataFiles(bytes, {});
        ASSERT_TRUE(whole.ok()) << name << ": " << whole.failure().message();
        int refused = 0;
        for (int percent = 5; percent < 100; percent += 5) {
            const std::string cut = bytes.substr(0, bytes.size() * static_cast<std::size_t>(percent) / 100);
            const auto r = ReadDataFiles(cut, {});
            if (!r.ok()) {
                ++refused;
                EXPECT_GT(r.failure().line, 0) << name << " cut at " << percent << "%: " << r.failure().message();
                continue;
            }
            ASSERT_EQ(r->size(), whole->size()) << name << " cut at " << percent << "%";
            for (std::size_t k = 0; k < r->size(); ++k) {
                const DataFile &a = (*r)[k], &b = (*whole)[k];
                EXPECT_TRUE(a.x == b.x && a.y == b.y && a.countRate.timeS == b.countRate.timeS &&
                            a.countRate.rateKHz == b.countRate.rateKHz)
                    << name << " cut at " << percent << "% is read as a part of the file";
            }
        }
        EXPECT_GE(refused, 17) << name;
    }
}

// Header values no measurement can have are refused, naming the key and the
// value; the bounds themselves are possible (each bound on both sides is
// checked with the sample's own bounds).
TEST(AlvReader, HeaderBounds)
{
    struct Case { const char *key, *refused, *accepted; };
    const Case cases[] = {
        {"Temperature [K]", "500.01", "200"}, {"Viscosity [cp]", "1e-300", "10000"}, {"Refractive Index", "0.999", "3.0"},
        {"Wavelength [nm]", "1e300", "100"},  {"Angle [\xB0]", "180", "1e-300"},
    };
    for (const auto& c : cases) {
        const auto header = [&](const char* value) { return Alv(std::string(c.key) + " :\t " + value, kRows); };
        EXPECT_TRUE(ReadDataFiles(header(c.accepted), {}).ok()) << c.key << " " << c.accepted;
        const auto r = ReadDataFiles(header(c.refused), {});
        ASSERT_FALSE(r.ok()) << c.key << " " << c.refused;
        EXPECT_EQ(r.failure().line, 2);
        const std::string m = r.failure().message();
        EXPECT_NE(m.find(Quoted(c.key, true)), std::string::npos) << m;
        EXPECT_NE(m.find(std::string(" gives ") + c.refused + ","), std::string::npos) << m;
    }
}

// The three records of the synthetic export with the values their rows hold
// (name|date|time|K|cP|n|s|intercept|Z-Ave|PdI|material n|absorption|kcps|points).
TEST(ZetasizerExport, SyntheticRecords)
{
    const auto read = ReadDataFiles(Fixture("zetasizer-export.txt"), {});
    ASSERT_TRUE(read.ok()) << read.failure().message();
    const struct { const char* summary; double y0, yLast; } cases[] = {
        {"PS-100 synthetic 1|12 March 2026|11:20:00|298.150000|0.887200|1.330000|10.000000|0.930000|100.000000|0.000000|"
         "1.590000|0.010000|310.000000|192", 0.930, -0.001},
        {"PS-100 synthetic 2|12 March 2026|11:22:07|298.150000|0.887200|1.330000|10.000000|0.930000|99.200000|0.017000|"
         "1.590000|0.010000|307.000000|192", 0.929, -0.001},
        {"PS-100 synthetic 3|12 March 2026|11:24:14|298.150000|0.887200|1.330000|10.000000|0.940000|99.400000|0.016000|"
         "1.590000|0.010000|304.000000|192", 0.937, 0.0},
    };
    ASSERT_EQ(read->size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const DataFile& d = (*read)[i];
        const InstrumentHeader& h = d.instrument.value();
        EXPECT_EQ(Summary(d), cases[i].summary);
        EXPECT_TRUE(d.format == FileFormat::Zetasizer && d.record == static_cast<int>(i + 1) && !d.refusal &&
                    d.dataKind == DataKind::G2Minus1 && d.timeUnit == TimeUnit::Microseconds && d.suggestedFirstPoint == 0)
            << i;
        // Not stated: a Nano ZS assumed.
        EXPECT_FALSE(h.angleDeg || h.wavelengthNm);
        EXPECT_EQ(std::vector<std::optional<double>>({h.assumedAngleDeg, h.assumedWavelengthNm}),
                  std::vector<std::optional<double>>({173.0, 632.8}));
        EXPECT_EQ(std::vector<double>({d.x.front(), d.x.back(), d.y.front(), d.y.back()}),
                  std::vector<double>({0.5, 3.36e7, cases[i].y0, cases[i].yLast}));
    }
    // One measurement asked for: the first record.
    EXPECT_EQ(Summary(ReadDataFile(Fixture("zetasizer-export.txt"), {}).value()), cases[0].summary);
}

// Export templates differ in their columns, their order and their tables; the
// records read the same from every one.
TEST(ZetasizerExport, TemplatesReadTheSame)
{
    const std::string original = Fixture("zetasizer-export.txt");
    const auto records = ReadDataFiles(original, {});
    std::vector<std::string> expected;
    for (const DataFile& d : records.value()) expected.push_back(Summary(d));

    const std::vector<Table> tables = TablesOf(original);
    ASSERT_EQ(tables.size(), 2u);
    // Columns reversed, with columns the reader does not know among them.
    std::vector<Table> reordered = tables;
    for (Table& t : reordered) {
        for (std::size_t r = 0; r < t.size(); ++r) {
            std::reverse(t[r].begin(), t[r].end());
            t[r].insert(t[r].begin() + 2, r == 0 ? "Operator" : "J. Kowalski");
            t[r].push_back(r == 0 ? "Fit Error" : "0.0021");
        }
    }
    // One table: the detail with the summary's results, named as other
    // software versions name them.
    Table one = tables[1];
    for (const char* name : {"Z-Ave (d.nm)", "PdI"}) {
        const std::size_t c = ColumnOf(tables[0], name);
        for (std::size_t r = 0; r < one.size(); ++r)
            one[r].push_back(r == 0 && std::string(name) == "Z-Ave (d.nm)" ? "Z-Average (d.nm)" : tables[0][r][c]);
    }
    const struct { const char* what; std::string bytes; } variants[] = {
        {"reordered", Joined(reordered)},
        {"one table", Joined({one})},
        {"UTF-8 with LF", Latin1ToUtf8(Joined(tables, "\n"))},
        {"byte-order mark", "\xEF\xBB\xBF" + Latin1ToUtf8(original)},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.what);
        const auto read = ReadDataFiles(v.bytes, {});
        ASSERT_TRUE(read.ok()) << read.failure().message();
        std::vector<std::string> got;
        for (const DataFile& d : *read) got.push_back(Summary(d));
        EXPECT_EQ(got, expected);
        EXPECT_EQ(read->back().y, records->back().y);
    }
}

// Records without a correlogram are listed with their reason; a file of such
// records only has nothing to analyse.
TEST(ZetasizerExport, DistributionsOnlyRecords)
{
    std::vector<Table> tables = TablesOf(Fixture("zetasizer-export.txt"));
    Table& detail = tables[1];
    for (std::size_t c = 0; c < detail[0].size(); ++c)
        if (detail[0][c].rfind("Correlation", 0) == 0) detail[2][c].clear();
    const auto read = ReadDataFiles(Joined(tables), {});
    ASSERT_TRUE(read.ok()) << read.failure().message();
    ASSERT_EQ(read->size(), 3u);
    EXPECT_FALSE((*read)[0].refusal || (*read)[2].refusal);
    ASSERT_TRUE((*read)[1].refusal.has_value());
    EXPECT_EQ((*read)[1].refusal->message(), "record 2 ('PS-100 synthetic 2') holds distributions only, no correlogram");
    EXPECT_TRUE((*read)[1].x.empty());
    EXPECT_EQ((*read)[1].instrument->reportedZAverageNm, 99.2);

    // The summary alone: every record refused, and no single measurement.
    const std::string summary = Joined({tables[0]});
    const auto all = ReadDataFiles(summary, {});
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all->size(), 3u);
    for (const DataFile& d : *all) EXPECT_TRUE(d.refusal.has_value());
    const auto single = ReadDataFile(summary, {});
    ASSERT_FALSE(single.ok());
    EXPECT_EQ(single.failure().message(), "record 1 ('PS-100 synthetic 1') holds distributions only, no correlogram");
}

TEST(LsiFile, SyntheticPseudoCross)
{
    const auto read = ReadDataFiles(Fixture("lsi-pseudo-cross.dat"), {});
    ASSERT_TRUE(read.ok()) << read.failure().message();
    ASSERT_EQ(read->size(), 1u);
    const DataFile& d = read->front();
    const InstrumentHeader& h = d.instrument.value();
    EXPECT_TRUE(d.format == FileFormat::Lsi && d.dataKind == DataKind::G2Minus1 && d.timeUnit == TimeUnit::Seconds);
    EXPECT_EQ(h.mode, "Pseudo Cross Correlation");
    EXPECT_EQ(std::vector<std::optional<double>>(
                  {h.angleDeg, h.wavelengthNm, h.refractiveIndex, h.viscosityCp, h.temperatureK, h.durationS}),
              std::vector<std::optional<double>>({110.0, 642.0, 1.330, 0.890, 298.1, 30}));
    EXPECT_EQ(h.meanCountRateKHz, (std::vector<double>{812.4, 809.9}));
    EXPECT_FALSE(h.reportedZAverageNm || h.reportedPdi || h.reportedIntercept);
    // The instrument's cumulants as written: -Inf, then -Inf and NaN twice.
    ASSERT_EQ(h.reportedCumulants.size(), 3u);
    EXPECT_EQ(h.reportedCumulants[0], std::vector<double>{-INFINITY});
    for (std::size_t k : {1u, 2u}) {
        ASSERT_EQ(h.reportedCumulants[k].size(), 2u);
        EXPECT_TRUE(h.reportedCumulants[k][0] == -INFINITY && std::isnan(h.reportedCumulants[k][1]));
    }
    ASSERT_EQ(d.x.size(), 385u);
    EXPECT_EQ(d.headerLines, 16);
    EXPECT_EQ(std::vector<double>(d.y.begin(), d.y.begin() + 4), (std::vector<double>{28.7, -1.0, -0.45, 0.3404534}));
    EXPECT_EQ(std::to_string(d.suggestedFirstPoint) + " " + d.suggestedFirstReason, "3 the correlator's dead time");

    // The count-rate history: 300 samples of two channels, as the file's rows
    // give them (a dust spike in A at 13.7 s).
    ASSERT_TRUE(d.countRate.timeS.size() == 300u && d.countRate.rateKHz.size() == 2u &&
                d.countRate.rateKHz[0].size() == 300u && d.countRate.rateKHz[1].size() == 300u);
    const auto& rate = d.countRate.rateKHz;
    EXPECT_EQ(std::vector<double>({d.countRate.timeS[137], rate[0][137], rate[1][137], d.countRate.timeS.back(),
                                   rate[0].back(), rate[1].back()}),
              std::vector<double>({13.7, 3.206217e+03, 8.124593e+02, 29.9, 8.099168e+02, 8.194337e+02}));
    // Both channels' mean rates on one line.
    std::string oneLine = Fixture("lsi-pseudo-cross.dat");
    const std::string two = "Average Count rate  A (kHz):\t812.4\r\nAverage Count rate  B (kHz):\t809.9";
    oneLine.replace(oneLine.find(two), two.size(), "Average Count rate  A/B (kHz):\t812.4\t809.9");
    EXPECT_EQ(ReadDataFiles(oneLine, {})->front().instrument->meanCountRateKHz, h.meanCountRateKHz);
}

TEST(ExportText, LeadingNonCorrelationPoints)
{
    std::vector<double> lags(40), plateau(40, 0.5);
    for (std::size_t i = 0; i < lags.size(); ++i) lags[i] = 1e-8 * static_cast<double>(i);
    const auto with = [&](std::vector<double> first) {
        std::vector<double> v = plateau;
        std::copy(first.begin(), first.end(), v.begin());
        return v;
    };
    const struct { const char* what; std::vector<double> lag, value; std::size_t count; } cases[] = {
        {"lag 0, above 2, below 0", lags, with({28.7, -1.0, -0.45}), 3},
        {"only the lag at 0", lags, plateau, 1},
        {"2 and 0 are correlation values", std::vector<double>(lags.begin() + 1, lags.end()), with({2.0, 0.0}), 0},
        {"a dead time of eight points", lags, with({3, 3, 3, 3, 3, 3, 3, 3}), 8},
        {"nine points are no dead time", lags, with({3, 3, 3, 3, 3, 3, 3, 3, 3}), 0},
        {"nor a quarter of the points", std::vector<double>(lags.begin(), lags.begin() + 11),
         with({3, 3, 3}), 0},
        {"noise about zero throughout", lags, std::vector<double>(40, -0.001), 0},
        {"nothing", {}, {}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingNonCorrelationPoints(c.lag, c.value), c.count) << c.what;
}

TEST(ExportText, EightBitTexts)
{
    const struct { std::string in, out; } cases[] = {
        {"T (\xB0" "C)", "T (\xC2\xB0" "C)"},
        {"(\xB5s)", "(\xC2\xB5s)"},
        {"(\xCE\xBCs)", "(\xC2\xB5s)"},                   // Greek mu, UTF-8
        {"PS \x96 100 \x93x\x94", "PS \xE2\x80\x93 100 \xE2\x80\x9Cx\xE2\x80\x9D"},  // Windows-1252 dash, quotes
        {"\x81", "\xC2\x81"},                           // no character in Windows-1252: kept as Latin-1
        {"Wasser \xC3\xA4", "Wasser \xC3\xA4"},           // UTF-8 kept
    };
    for (const auto& c : cases) EXPECT_EQ(ExportTextToUtf8(c.in), c.out) << c.in;
}

// Each fault names its line; none is read as a point, and reading every
// measurement of the file refuses it alike. A file forced as another layout
// is not read as that one.
TEST(DataReader, RefusalsNameTheirLine)
{
    const std::string head = "ALV-5000/E-WIN Data\r\nDuration [s] :\t 1\r\n\r\n\"Correlation\"\r\n";
    const std::string trace = "\r\n\"Count Rate\"\r\n 0.5\t10\t20\t30\t40\r\n 1.0\t11\t21\t31\t41\r\n";
    const std::string unaveraged = "ALV-7004 CGS-8F Data\r\n" + std::string(kAngles3) +
                                   "\r\n\"Correlation\"\r\n 1\t0.5\t0.4\t0.3\r\n\r\n\"Count Rate\"\r\n";
    const std::string lsi = Fixture("lsi-pseudo-cross.dat"), zeta = Fixture("zetasizer-export.txt");
    const auto replaced = [](std::string s, const std::string& from, const std::string& to) {
        const std::size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? s : s.replace(at, from.size(), to);
    };
    const std::vector<Table> tables = TablesOf(zeta);
    const auto edited = [&](auto change) {
        std::vector<Table> t = tables;
        change(t);
        return Joined(t);
    };
    const std::size_t temperature = ColumnOf(tables[1], "Temperature (\xB0" "C)");
    const std::size_t delay5 = ColumnOf(tables[1], "Correlation Delay Times[5] (\xB5s)");
    struct Case { std::string bytes; int line; const char* message; ReadOptions options = {}; };
    const Case cases[] = {
        // Text files.
        {"1\t2\n3\t4\nabc\t5\n", 3, "line 3: 'abc' is not a number"},  // the earlier reader: 0
        {"1\t2\n3\tnan\n", 2, "line 2: 'nan' is not a number"}, {"1\tinf\n", 1, "line 1: 'inf' is not a number"},
        {"1\t2.5.1\n", 1, "line 1: '2.5.1' is not a number"}, {"1\t2\n2 3\n", 2, "line 2: '2 3' is not a number"},
        {"1\t1e999\n", 1, "line 1: '1e999' is beyond the range of numbers"},
        {"1\t1e-999\n", 1, "line 1: '1e-999' is beyond the range of numbers"},
        {"Time\tValue\n1\t2\n\n3\t4\n", 3, "line 3: a blank line among the data"},
        {"1\t2\n3\n5\t6\n", 2, "line 2: a single number where a time and a value are needed"},  // earlier: line 3
        {"1\t2\r\n0.5\t4\r\n", 2, "line 2: the time 0.5 is not greater than the time before it (1)"},
        {"1\t2\n1\t4\n", 2, "line 2: the time 1 is not greater than the time before it (1)"},
        {"-1\t2\n", 1, "line 1: the time -1 is negative"}, {"1;;2\n", 1, "line 1: column 2 is empty"},
        {"1\t2\t3\n2\t4\n", 2, "line 2: there is no column 3", {FormatChoice::Auto, 1, 3}},
        {"1\t2\n", 0, "column 0 cannot be chosen: columns count from 1", {FormatChoice::Auto, 0, 2}},
        {"Time\tValue\r\n# none\r\n\r\n", 0, "the file holds no data"},
        {"Sample 5\n1\t2\n", 1, "line 1: 'Sample 5' is not a number"},
        // A row of another field count: an extra field first would make the
        // chosen columns another quantity for that row.
        {"1 0.5\n2 0.25\n3 3 0.125\n", 3, "line 3: 3 columns where the data rows before it (from line 1) have 2"},
        {"t\tg\n0.5,1.25\n1.5,2.5,7\n", 3, "line 3: 3 columns where the data rows before it (from line 2) have 2"},
        {"1\t2\t3\n2\t4\t6\n3\t5\n", 3, "line 3: 2 columns where the data rows before it (from line 1) have 3"},
        {"1;2\n2;3\n3;4;5\n", 3, "line 3: 3 columns where the data rows before it (from line 1) have 2"},
        // Only the first byte-order mark is taken away; a second is text.
        {"\xEF\xBB\xBF\xEF\xBB\xBF\t500\t0.01", 1, "line 1: '\xEF\xBB\xBF' is not a number"},
        // Correlator files: modes and channels, header values, blocks.
        {Alv("", " 1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0.5\r\n"), 7,
         "line 7: the \"Count Rate\" block lacks channel 10"},  // a channel beyond the header's MeanCR keys
        {Alv("Mode :\t\"A-CH7\"", kRows), 4,
         "line 4: the mode 'A-CH7' names channel 7, which the \"Correlation\" block lacks"},
        {Alv("Mode :\t\"A-CH1\"", " 1\t0.5\t0\t0\t0\r\n"), 4,
         "line 4: the \"Correlation\" block holds only zeros in the channels the mode 'A-CH1' names"},
        {Alv("", " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\tabc\t0\t0\r\n"), 6, "line 6: 'abc' is not a number"},
        {Alv("", " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\r\n"), 6, "line 6: 2 columns where the block's first row has 5"},
        {Alv("", " 2e-3\t0.5\t0.3\t0\t0\r\n 1e-3\t0.4\t0.2\t0\t0\r\n"), 6,
         "line 6: the time 1e-3 is not greater than the time before it (2e-3)"},
        {Alv("Temperature [K] :\t 29x", kRows), 2, "line 2: '29x' is not a number"},
        {Alv("", kRows) + "\"Correlation\"\r\n", 12, "line 12: a second \"Correlation\" block"},
        {Alv("", ""), 4, "line 4: the \"Correlation\" block holds no rows"},
        {"1\t2\r\n", 0, "the file holds no \"Correlation\" block", {FormatChoice::Alv}},
        {Alv("Duration [s] :\t 40", kRows), 2, "line 2: 'Duration [s] :' is not a number", {FormatChoice::Text}},
        // A layout whose columns do not match the header's angles.
        {Goniometer(kAngles3, " 1\t0.5\t0.4\r\n"), 10,
         "line 10: the \"Correlation\" block has 2 columns of values, but the header gives the angles of 3 detectors: "
         "the columns cannot be matched to the angles"},
        {Goniometer(kAngles3, " 1\t0.5\t0.4\t0.3\t0.2\r\n"), 10,
         "line 10: the \"Correlation\" block has 4 columns of values, but the header gives the angles of 3 detectors: "
         "the columns cannot be matched to the angles"},
        {Goniometer("Angle(1)[\xB0] :\t 30\r\nAngle(3)[\xB0] :\t 90\r\n", " 1\t0.5\t0.4\r\n"), 3,
         "line 3: the detector angles are not numbered 1 to 2"},
        {Goniometer("Angle(1)[\xB0] :\t 30\r\nAngle(1)[\xB0] :\t 90\r\n", " 1\t0.5\t0.4\r\n"), 4,
         "line 4: a second angle of detector 1"},
        {Goniometer("Angle(1)[\xB0] :\t 30\r\nAngle(2)[\xB0] :\t 180\r\n", " 1\t0.5\t0.4\r\n"), 4,
         "line 4: 'Angle(2)[\xC2\xB0]' gives 180, not strictly between 0 and 180"},
        {Goniometer(kAngles3, " 1\t0\t0\t0\r\n"), 9, "line 9: the \"Correlation\" block holds only zeros"},
        {unaveraged + " 0.5\t10\t20\r\n 1.0\t11\t21\r\n\r\n", 10,
         "line 10: the \"Count Rate\" block has 2 columns of rates, but the header gives the angles of 3 detectors: "
         "the columns cannot be matched to the detectors"},
        // Lines inside a block that are not rows of numbers, and ends that come
        // before the file's promise.
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\nNaN\t0.4\t0.2\t0\t0\r\n" + trace, 6, "line 6: 'NaN' is not a number"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n# spike removed\r\n 3e-3\t0.4\t0.2\t0\t0\r\n" + trace, 6,
         "line 6: '#' is not a number"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n\r\n 3e-3\t0.4\t0.2\t0\t0\r\n" + trace, 6,
         "line 6: a blank line inside the \"Correlation\" block"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2\t0\t0\t0.1\r\n" + trace, 6,
         "line 6: 6 columns where the block's first row has 5"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2", 6, "line 6: the file ends inside this line: it is cut short"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2\t0\t0\r\n", 6,
         "line 6: the file ends inside the \"Correlation\" block: it is cut short"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n\r\n", 6, "line 6: the file ends before its \"Count Rate\" block: it is cut short"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n" + trace + "\r\n 2.0\t1\t1\t1\t1\r\n", 10,
         "line 10: a blank line inside the \"Count Rate\" block"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n\r\n\"Count Rate\"\r\n 0.5\t10\t20\t30\t40\r\n", 8,
         "line 8: the file ends inside the \"Count Rate\" block: it is cut short"},
        {"ALV-5000/E-WIN Data\r\nDuration [s] :\t 10\r\n\r\n\"Correlation\"\r\n 1e-3\t0.5\t0.3\t0\t0\r\n" + trace, 9,
         "line 9: the file ends inside the \"Count Rate\" block: it is cut short"},
        // Instrument exports: tables that do not match, and damaged blocks.
        {edited([](auto& t) { std::swap(t[1][1], t[1][2]); }), 7,  // records swapped in one table
         "line 7: record 1 has the Sample Name 'PS-100 synthetic 2' here but 'PS-100 synthetic 1' on line 2: the tables "
         "do not hold the same records in the same order"},
        {edited([](auto& t) { t[1].pop_back(); }), 6,
         "the tables of line 1 and line 6 hold different numbers of records (3 and 2)"},
        {edited([&](auto& t) { t[1][2][temperature] = "warm"; }), 8, "line 8: 'warm' is not a number"},
        {edited([&](auto& t) { t[1][3][delay5].clear(); }), 9,
         "line 9: record 3 has no value in the column 'Correlation Delay Times[5] (\xC2\xB5s)' beside the other column "
         "of point 5"},
        {edited([&](auto& t) { t[1][0][delay5] = "Correlation Delay Times[5] (ms)"; }), 6,
         "line 6: the column 'Correlation Delay Times[5] (ms)' is not in microseconds (\"Correlation Delay Times[k] "
         "(\xC2\xB5s)\")"},
        {edited([&](auto& t) { t[1][0][delay5] = "Remark"; }), 6,
         "line 6: the column 'Correlation Data[5]' has no partner 'Correlation Delay Times[5] (\xC2\xB5s)'"},
        {edited([](auto& t) { t[0][2].push_back("1"); }), 3,
         "line 3: 13 fields where the header row (line 1) names 12 columns"},
        {Joined({{tables[0][0]}}), 1, "line 1: the header row is followed by no record"},
        {replaced(lsi, "110.0", "wide"), 2, "line 2: 'wide' is not a number"},
        {replaced(lsi, "Cumulant 1st\t-Inf", "Cumulant 1st\tnone"), 12, "line 12: 'none' is not a number"},
        {replaced(lsi, "Lag time (s)", "Lag"), 0, "the file holds no \"Lag time (s)\" block"},
        {replaced(lsi, "3.750000e-08\t3.404534e-01", "3.750000e-08\t3.404534e-01\t1"), 20,
         "line 20: 3 columns where the block's first row has 2"},
        // The instruments' header values are held to the bounds of the correlator's.
        {replaced(lsi, "Temperature (K):\t298.1", "Temperature (K):\t5"), 7,
         "line 7: 'Temperature (K)' gives 5, outside 200 ... 500"},
        {replaced(lsi, "Scattering angle:\t110.0", "Scattering angle:\t180"), 2,
         "line 2: 'Scattering angle' gives 180, not strictly between 0 and 180"},
        {replaced(lsi, "Wavelength (nm):\t642.0", "Wavelength (nm):\t1e300"), 4,
         "line 4: 'Wavelength (nm)' gives 1e300, outside 100 ... 2000"},
        {replaced(zeta, "MAL0000000\t12 March 2026 11:20:00\t25.0\t", "MAL0000000\t12 March 2026 11:20:00\t-300\t"), 7,
         "line 7: 'Temperature (\xC2\xB0" "C)' gives -300 \xC2\xB0" "C = -26.85 K, outside 200 ... 500"},
        {replaced(zeta, "\t10\t0.8872\t", "\t10\t1e-300\t"), 7,
         "line 7: 'Viscosity (cP)' gives 1e-300, outside 0.01 ... 10000"},
    };
    for (const auto& c : cases) {
        const auto r = ReadDataFile(c.bytes, c.options);
        ASSERT_FALSE(r.ok()) << c.bytes;
        EXPECT_EQ(std::tuple(r.failure().message(), r.failure().line), std::tuple(std::string(c.message), c.line));
        const auto all = ReadDataFiles(c.bytes, c.options);
        EXPECT_TRUE(!all.ok() && all.failure().message() == c.message && all.failure().line == c.line) << c.message;
    }
    EXPECT_FALSE(ReadDataFiles(lsi, {FormatChoice::Zetasizer}).ok());
    EXPECT_FALSE(ReadDataFiles(zeta, {FormatChoice::Lsi}).ok());
}
