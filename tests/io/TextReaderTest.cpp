#include "io/DataReader.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
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

}  // namespace

// Every notation read whole and correctly rounded: the expected values are the
// compiler's own reading of the same digits.
TEST(TextReader, NumbersAreReadWholeInEveryNotation)
{
    struct Case { const char* bytes; double x, y; };
    const Case cases[] = {
        {"5.0000000E-07\t8.9104485E-01", 5.0000000E-07, 8.9104485E-01},  // the earlier reader cut the exponent
        {"1.5e+01\t1,5E-03", 1.5e+01, 1.5E-03}, {"0\t-.5", 0.0, -.5}, {"+3\t+3", 3.0, 3.0},
        {"1e5\t1E+005", 1e5, 1e5},             {"5.\t.5", 5.0, 0.5},
        {"0.12345678901234567890123\t-0.002457", 0.12345678901234567890123, -0.002457},
        {"1\t2\n2\t-0.002457", 2.0, -0.002457},  // a 9-character value on a later line: read whole
    };
    for (const auto& c : cases) {
        const DataFile d = MustRead(c.bytes);
        ASSERT_FALSE(d.x.empty()) << c.bytes;
        EXPECT_EQ(d.x.back(), c.x) << c.bytes;
        EXPECT_EQ(d.y.back(), c.y) << c.bytes;
    }
}

TEST(TextReader, SeparatorsLineEndsAndColumns)
{
    struct Case { const char* bytes; std::vector<double> x, y; int columns; ReadOptions options = {}; };
    const Case cases[] = {
        {"1\t0.5\r\n2\t0.25\r\n", {1, 2}, {0.5, 0.25}, 2},
        {"1\t0,5\n2\t0.25", {1, 2}, {0.5, 0.25}, 2},  // marks mixed, as the earlier reader allowed
        {"  1.5e-3 \t  2 \r3e-3\t4\r", {1.5e-3, 3e-3}, {2, 4}, 2},
        {"0,5;1,25\r\n1,5;-2\r\n", {0.5, 1.5}, {1.25, -2}, 2},
        {"1;2;\n3;4;\n", {1, 3}, {2, 4}, 2},
        {"0.5, 1.25\n1.5 , 2\n", {0.5, 1.5}, {1.25, 2}, 2},
        {"1, 2\n3, 4", {1, 3}, {2, 4}, 2},
        {"1,5,2,5\n2,5,3,5\n", {1, 2}, {5, 5}, 4},  // no other separator: commas separate
        {"0,5 1,25\n  1,5   2\n", {0.5, 1.5}, {1.25, 2}, 2},
        {"1 2 3\n2 4 6\n\n\n", {1, 2}, {2, 4}, 3},
        {"1\t2\t3\n2\t4\t6", {1, 2}, {3, 6}, 3, {FormatChoice::Auto, 1, 3}},
        {"1\t2\t3\n2\t4\t6", {2, 4}, {1, 2}, 3, {FormatChoice::Text, 2, 1}},
    };
    for (const auto& c : cases) {
        const DataFile d = MustRead(c.bytes, c.options);
        EXPECT_EQ(d.x, c.x) << c.bytes;
        EXPECT_EQ(d.y, c.y) << c.bytes;
        EXPECT_EQ(d.columnCount, c.columns) << c.bytes;
        EXPECT_EQ(d.format, FileFormat::Text);
        EXPECT_FALSE(d.instrument.has_value());
    }
}

TEST(TextReader, HeaderLinesAndByteOrderMark)
{
    struct Case { const char* bytes; int headerLines; double firstX; };
    const Case cases[] = {
        {"\xEF\xBB\xBF" "0.5\t1", 0, 0.5},  // the earlier reader read 0 here
        {"Lag time [us]\tg2-1\r\n0.5\t1\r\n", 1, 0.5},  // the earlier reader added a point (0, 0)
        {"\xEF\xBB\xBFt;g1\n2;1", 1, 2},
        {"# sample 5, T = 298 K\n\n  \nczas [\xB5s] wartosc\n3 1\n", 4, 3},
        {"\r\n\r\n1.5e-3\t1", 2, 1.5e-3},
    };
    for (const auto& c : cases) {
        const DataFile d = MustRead(c.bytes);
        EXPECT_EQ(d.headerLines, c.headerLines) << c.bytes;
        ASSERT_EQ(d.x.size(), 1u) << c.bytes;
        EXPECT_EQ(d.x[0], c.firstX) << c.bytes;
    }
}

// Each fault names its line; none is read as a point.
TEST(TextReader, FaultsNameTheirLine)
{
    struct Case { const char* bytes; int line; const char* message; ReadOptions options = {}; };
    const Case cases[] = {
        {"1\t2\n3\t4\nabc\t5\n", 3, "line 3: 'abc' is not a number"},  // the earlier reader: 0
        {"1\t2\n3\tnan\n", 2, "line 2: 'nan' is not a number"},
        {"1\tinf\n", 1, "line 1: 'inf' is not a number"},
        {"1\t2.5.1\n", 1, "line 1: '2.5.1' is not a number"},
        {"1\t2\n2 3\n", 2, "line 2: '2 3' is not a number"},
        {"1\t1e999\n", 1, "line 1: '1e999' is beyond the range of numbers"},
        {"1\t1e-999\n", 1, "line 1: '1e-999' is beyond the range of numbers"},
        {"Time\tValue\n1\t2\n\n3\t4\n", 3, "line 3: a blank line among the data"},
        {"1\t2\n3\n5\t6\n", 2, "line 2: a single number where a time and a value are needed"},  // earlier: line 3
        {"1\t2\r\n0.5\t4\r\n", 2, "line 2: the time 0.5 is not greater than the time before it (1)"},
        {"1\t2\n1\t4\n", 2, "line 2: the time 1 is not greater than the time before it (1)"},
        {"-1\t2\n", 1, "line 1: the time -1 is negative"},
        {"1;;2\n", 1, "line 1: column 2 is empty"},
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
    };
    for (const auto& c : cases) {
        const auto r = ReadDataFile(c.bytes, c.options);
        ASSERT_FALSE(r.ok()) << c.bytes;
        EXPECT_EQ(r.failure().message(), c.message);
        EXPECT_EQ(r.failure().line, c.line) << c.message;
        // Every measurement of the file: the same refusal.
        const auto all = ReadDataFiles(c.bytes, c.options);
        EXPECT_TRUE(!all.ok() && all.failure().message() == c.message) << c.message;
    }
}
