#include "io/Cp1250.h"
#include "io/DataReader.h"
#include "io/ExportText.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace fluvena;
using namespace fluvena::io;

namespace {

std::string Fixture(const std::string& name) { return ReadFile(std::string(FLUVENA_TEST_DATA) + "/instruments/" + name); }

std::vector<std::string> Split(const std::string& s, const std::string& separator)
{
    std::vector<std::string> parts;
    for (std::size_t i = 0;;) {
        const std::size_t e = s.find(separator, i);
        parts.push_back(s.substr(i, e - i));
        if (e == std::string::npos) return parts;
        i = e + separator.size();
    }
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

Outcome<std::vector<DataFile>> Records(const std::string& bytes, FormatChoice format = FormatChoice::Auto)
{
    ReadOptions options;
    options.format = format;
    return ReadDataFiles(bytes, options);
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

// The three records of the synthetic export with the values their rows hold
// (name|date|time|K|cP|n|s|intercept|Z-Ave|PdI|material n|absorption|kcps|points).
TEST(ZetasizerExport, SyntheticRecords)
{
    const auto read = Records(Fixture("zetasizer-export.txt"));
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
                    d.dataKind == DataKind::G2Minus1 && d.timeUnit == TimeUnit::Microseconds)
            << i;
        // Not stated: a Nano ZS assumed.
        EXPECT_FALSE(h.angleDeg || h.wavelengthNm);
        EXPECT_EQ(std::vector<std::optional<double>>({h.assumedAngleDeg, h.assumedWavelengthNm}),
                  std::vector<std::optional<double>>({173.0, 632.8}));
        EXPECT_EQ(std::vector<double>({d.x.front(), d.x.back(), d.y.front(), d.y.back()}),
                  std::vector<double>({0.5, 3.36e7, cases[i].y0, cases[i].yLast}));
        EXPECT_EQ(d.suggestedFirstPoint, 0u);
    }
    // One measurement asked for: the first record.
    EXPECT_EQ(Summary(ReadDataFile(Fixture("zetasizer-export.txt"), {}).value()), cases[0].summary);
}

// Export templates differ in their columns, their order and their tables; the
// records read the same from every one.
TEST(ZetasizerExport, TemplatesReadTheSame)
{
    const std::string original = Fixture("zetasizer-export.txt");
    const auto records = Records(original);
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
        const auto read = Records(v.bytes);
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
    const auto read = Records(Joined(tables));
    ASSERT_TRUE(read.ok()) << read.failure().message();
    ASSERT_EQ(read->size(), 3u);
    EXPECT_FALSE((*read)[0].refusal || (*read)[2].refusal);
    ASSERT_TRUE((*read)[1].refusal.has_value());
    EXPECT_EQ((*read)[1].refusal->message(), "record 2 ('PS-100 synthetic 2') holds distributions only, no correlogram");
    EXPECT_TRUE((*read)[1].x.empty());
    EXPECT_EQ((*read)[1].instrument->reportedZAverageNm, 99.2);

    // The summary alone: every record refused, and no single measurement.
    const std::string summary = Joined({tables[0]});
    const auto all = Records(summary);
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all->size(), 3u);
    for (const DataFile& d : *all) EXPECT_TRUE(d.refusal.has_value());
    const auto single = ReadDataFile(summary, {});
    ASSERT_FALSE(single.ok());
    EXPECT_EQ(single.failure().message(), "record 1 ('PS-100 synthetic 1') holds distributions only, no correlogram");
}

// Damaged or mismatched files are refused, naming the line; a file forced
// as another layout is not read as that one.
TEST(InstrumentExports, Faults)
{
    const std::vector<Table> tables = TablesOf(Fixture("zetasizer-export.txt"));
    const auto edited = [&](auto change) {
        std::vector<Table> t = tables;
        change(t);
        return Joined(t);
    };
    const std::string lsi = Fixture("lsi-pseudo-cross.dat");
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = lsi;
        return s.replace(s.find(from), from.size(), to);
    };
    const std::size_t temperature = ColumnOf(tables[1], "Temperature (\xB0" "C)");
    const std::size_t delay5 = ColumnOf(tables[1], "Correlation Delay Times[5] (\xB5s)");
    const struct { const char* what; std::string bytes; const char* message; } cases[] = {
        {"records swapped in one table", edited([](auto& t) { std::swap(t[1][1], t[1][2]); }),
         "line 7: record 1 has the Sample Name 'PS-100 synthetic 2' here but 'PS-100 synthetic 1' on line 2: the tables "
         "do not hold the same records in the same order"},
        {"a record missing", edited([](auto& t) { t[1].pop_back(); }),
         "the tables of line 1 and line 6 hold different numbers of records (3 and 2)"},
        {"a word for a number", edited([&](auto& t) { t[1][2][temperature] = "warm"; }), "line 8: 'warm' is not a number"},
        {"a value without its lag", edited([&](auto& t) { t[1][3][delay5].clear(); }),
         "line 9: record 3 has no value in the column 'Correlation Delay Times[5] (\xC2\xB5s)' beside the other column "
         "of point 5"},
        {"lags in ms", edited([&](auto& t) { t[1][0][delay5] = "Correlation Delay Times[5] (ms)"; }),
         "line 6: the column 'Correlation Delay Times[5] (ms)' is not in microseconds (\"Correlation Delay Times[k] "
         "(\xC2\xB5s)\")"},
        {"a value column alone", edited([&](auto& t) { t[1][0][delay5] = "Remark"; }),
         "line 6: the column 'Correlation Data[5]' has no partner 'Correlation Delay Times[5] (\xC2\xB5s)'"},
        {"a row longer than the header", edited([](auto& t) { t[0][2].push_back("1"); }),
         "line 3: 13 fields where the header row (line 1) names 12 columns"},
        {"header row only", Joined({{tables[0][0]}}), "line 1: the header row is followed by no record"},
        {"LS: a word for the angle", replaced("110.0", "wide"), "line 2: 'wide' is not a number"},
        {"LS: a word in a cumulant", replaced("Cumulant 1st\t-Inf", "Cumulant 1st\tnone"),
         "line 12: 'none' is not a number"},
        {"LS: no lag block", replaced("Lag time (s)", "Lag"), "the file holds no \"Lag time (s)\" block"},
        {"LS: a third column", replaced("3.750000e-08\t3.404534e-01", "3.750000e-08\t3.404534e-01\t1"),
         "line 20: 3 columns where the block's first row has 2"},
    };
    for (const auto& c : cases) {
        const auto read = Records(c.bytes);
        ASSERT_FALSE(read.ok()) << c.what;
        EXPECT_EQ(read.failure().message(), c.message) << c.what;
    }
    EXPECT_FALSE(Records(lsi, FormatChoice::Zetasizer).ok());
    EXPECT_FALSE(Records(Fixture("zetasizer-export.txt"), FormatChoice::Lsi).ok());
}

TEST(LsiFile, SyntheticPseudoCross)
{
    const auto read = Records(Fixture("lsi-pseudo-cross.dat"));
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

    // The count-rate history: 300 samples of two channels, one dust spike in A.
    ASSERT_EQ(d.countRate.rateKHz.size(), 2u);
    ASSERT_EQ(d.countRate.timeS.size(), 300u);
    EXPECT_EQ(d.countRate.timeS.back(), 29.9);
    for (std::size_t ch : {0u, 1u}) {
        const auto& rate = d.countRate.rateKHz[ch];
        ASSERT_EQ(rate.size(), 300u);
        std::vector<double> sorted = rate;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t top = static_cast<std::size_t>(std::max_element(rate.begin(), rate.end()) - rate.begin());
        EXPECT_EQ(sorted.back() > 3 * sorted[150], ch == 0) << "spike in channel " << ch;
        EXPECT_TRUE(ch == 1 || d.countRate.timeS[top] == 13.7);
        EXPECT_LT(sorted[sorted.size() - 2], 1.1 * sorted[150]) << "a second spike in channel " << ch;
    }
    // Both channels' mean rates on one line.
    std::string oneLine = Fixture("lsi-pseudo-cross.dat");
    const std::string two = "Average Count rate  A (kHz):\t812.4\r\nAverage Count rate  B (kHz):\t809.9";
    oneLine.replace(oneLine.find(two), two.size(), "Average Count rate  A/B (kHz):\t812.4\t809.9");
    EXPECT_EQ(Records(oneLine)->front().instrument->meanCountRateKHz, h.meanCountRateKHz);
}

// A correlator's first lags that are no correlation values.
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
