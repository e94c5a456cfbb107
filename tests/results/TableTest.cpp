#include "results/Table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace fluvena::results {
namespace {

TEST(Table, CsvAndTsvOfTheSameRows)
{
    Table t;
    t.columns = {"file", "detector", "angle", "zAverageRadius"};
    t.AddRow() = {std::string("LC8.2_0001.ASC"), 3LL, 90.0, 1.0e-13};
    t.AddRow() = {std::string("a, \"b\".txt"), std::monostate{}, 0.1, std::numeric_limits<double>::quiet_NaN()};
    t.rows.push_back({std::string("tab\there\nand line")});  // short: padded
    EXPECT_EQ(t.Column("angle"), 2);
    EXPECT_EQ(t.Column("q"), -1);

    struct Case {
        TableFormat format;
        const char* expected;
    };
    const Case cases[] = {
        {TableFormat::Csv,
         "file,detector,angle,zAverageRadius\n"
         "LC8.2_0001.ASC,3,90,1e-13\n"
         "\"a, \"\"b\"\".txt\",,0.1,\n"
         "\"tab\there\nand line\",,,\n"},
        {TableFormat::Tsv,
         "file\tdetector\tangle\tzAverageRadius\n"
         "LC8.2_0001.ASC\t3\t90\t1e-13\n"
         "a, \"b\".txt\t\t0.1\t\n"
         "tab here and line\t\t\t\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatTable(t, c.format), c.expected);
}

TEST(Table, NumbersReadBackExactly)
{
    Table t;
    t.columns = {"x"};
    const double values[] = {1.0 / 3.0, 6.02214076e23, -2.5e-308, 3.1468e-13};
    for (double v : values) t.AddRow() = {v};
    const std::string csv = FormatTable(t, TableFormat::Csv);
    std::size_t pos = csv.find('\n') + 1;
    for (double v : values) {
        const std::size_t end = csv.find('\n', pos);
        EXPECT_EQ(std::stod(csv.substr(pos, end - pos)), v);
        pos = end + 1;
    }
}

}  // namespace
}  // namespace fluvena::results
