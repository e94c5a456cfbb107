// fluvena-batch over sets of measurements: the angle fit of "multiangle",
// the tables of --table and the parallel jobs of --jobs.
#include "BatchHarness.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>

using namespace fluvena;
namespace FT = fluvena::testing;
using FT::Batch;
using FT::TempDir;

namespace {

std::string Data(const std::string& name) { return FT::DataPath(name); }

// The rows of a CSV or TSV text, each a list of cells (no cell here needs quoting).
std::vector<std::vector<std::string>> Rows(const std::string& text, char sep)
{
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : SplitLines(text)) {
        std::vector<std::string>& row = rows.emplace_back(1);
        for (const char c : line) {
            if (c == sep) row.emplace_back();
            else row.back() += c;
        }
    }
    return rows;
}

// A cell read back as a double (NaN when empty).
double Num(const std::string& cell)
{
    double v = NAN;
    if (!cell.empty()) std::from_chars(cell.data(), cell.data() + cell.size(), v);
    return v;
}

std::size_t Column(const std::vector<std::string>& header, const std::string& name)
{
    const auto it = std::find(header.begin(), header.end(), name);
    if (it == header.end()) throw std::runtime_error("no column " + name);
    return static_cast<std::size_t>(it - header.begin());
}

}  // namespace

// The synthetic eight-detector file: D0 4.818e-12 m^2/s and a z-average
// radius of 44.50 nm at every angle, so R_h at q -> 0 is 44.50 nm.
TEST(BatchSets, MultiAngleFitOfTheEightDetectors)
{
    TempDir dir;
    const std::string file = Data("alv/multiangle-8det.ASC");
    const minijson::Value j = FT::OnlyObject(dir, {"multiangle", "--json", file});
    EXPECT_EQ(j["analysis"].text + " " + j["status"].text + " " + j["source"].text, "multiangle ok cumulants");
    ASSERT_EQ(j["measurements"].items.size(), 8u);
    for (std::size_t k = 0; k < 8; ++k) {
        const minijson::Value& m = j["measurements"][k];
        EXPECT_EQ(m["detector"].Num(), static_cast<double>(k + 1));
        EXPECT_EQ(m["angle"].Num(), 30.0 + 15.0 * static_cast<double>(k));
        EXPECT_NEAR(m["apparentDiffusionCoefficient"].Num(), m["gammaMean"].Num() / (m["q"].Num() * m["q"].Num()), 1e-25);
        EXPECT_NEAR(m["apparentRadius"].Num(), 44.50, 0.02 * 44.50);
        EXPECT_TRUE(m["included"].kind == minijson::Value::Kind::Bool && m["included"].flag);
    }
    const minijson::Value& fit = j["fit"];
    EXPECT_NEAR(fit["diffusionCoefficient0"].Num(), 4.818e-12, 0.02 * 4.818e-12);
    EXPECT_NEAR(fit["hydrodynamicRadius0"].Num(), 44.50, 0.02 * 44.50);
    const double r0Err = fit["hydrodynamicRadius0Err"].Num();
    EXPECT_TRUE(r0Err > 0.0 && r0Err < 0.02 * 44.50) << r0Err;
    EXPECT_EQ(fit["points"].Num(), 8.0);

    auto text = Batch(dir, {"multiangle", "--quiet", "--decimal-point", ",", file});
    EXPECT_EQ(text.Out().rfind("D0 4,8", 0), 0u) << text.Out();
    EXPECT_NE(text.Out().find("R_h(q \xE2\x86\x92 0) 44,"), std::string::npos) << text.Out();

    // One detector left out; the others, and the table, follow.
    auto less = Batch(dir, {"multiangle", "--table", "csv", "--exclude", file + ":3", file});
    EXPECT_EQ(less.Wait(), 0) << less.Err();
    const auto rows = Rows(less.Out(), ',');
    ASSERT_EQ(rows.size(), 1u + 8u + 1u + 1u + 1u) << less.Out();  // header, 8, blank, fit header, fit
    const std::size_t included = Column(rows[0], "included");
    for (std::size_t k = 1; k <= 8; ++k) EXPECT_EQ(rows[k][included], k == 3 ? "0" : "1");
    const auto &fitHeader = rows[10], &fitRow = rows[11];
    EXPECT_EQ(fitRow[Column(fitHeader, "points")], "7");
    EXPECT_NEAR(Num(fitRow[Column(fitHeader, "hydrodynamicRadius0")]), 44.50, 0.02 * 44.50);
    EXPECT_NE(Num(fitRow[Column(fitHeader, "diffusionCoefficient0")]), fit["diffusionCoefficient0"].Num());

    // A file left out whole, first on the line and measured warmer, lends
    // R_h at q -> 0 neither its temperature nor its viscosity.
    std::string warm = FT::ReadFixture("alv/multiangle-8det.ASC");
    const std::string t = "Temperature [K] :\t     293.15000";
    ASSERT_NE(warm.find(t), std::string::npos);
    warm.replace(warm.find(t), t.size(), "Temperature [K] :\t     313.15000");
    const std::string warmFile = (dir.path / "warm.ASC").string();
    WriteFileAtomic(warmFile, warm);
    const minijson::Value withWarm = FT::OnlyObject(dir, {"multiangle", "--json", "--exclude", warmFile, warmFile, file});
    EXPECT_EQ(withWarm["fit"]["hydrodynamicRadius0"].Num(), fit["hydrodynamicRadius0"].Num());

    struct Case { std::vector<std::string> args; const char* message; };
    const Case failures[] = {
        {{"--exclude", file + ":9", file}, "names no measurement"},
        {{"--exclude", file, file}, "at least two included"},
        {{Data("alv/LC8.2_0045.ASC")}, "at least two included"},
    };
    for (const Case& c : failures) {
        std::vector<std::string> args = {"multiangle", "--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        auto bad = Batch(dir, args);
        EXPECT_EQ(bad.Wait(), 1) << c.args[0];
        const auto o = bad.Objects();
        ASSERT_EQ(o.size(), 1u) << bad.Out() << bad.Err();
        EXPECT_EQ(o[0]["status"].text, "error");
        EXPECT_NE(o[0]["message"].text.find(c.message), std::string::npos) << o[0]["message"].text;
        EXPECT_EQ(o[0]["fit"].kind, minijson::Value::Kind::Null);
    }
}

// The table holds the JSON's numbers, to the last digit; two jobs print what
// one job prints.
TEST(BatchSets, TablesEqualTheJsonAndJobsChangeNothing)
{
    TempDir dir;
    const std::vector<std::string> files = {Data("alv/LC8.2_0001.ASC"), Data("alv/LC8.2_0028.ASC"),
                                            Data("alv/LC8.2_0045.ASC")};
    // Columns named as the JSON's fields, and CONTIN's main peak.
    const std::pair<std::string, const char*> columns[] = {
        {"cumulants", "zAverageRadius"}, {"cumulants", "pdi"}, {"cumulants", "gammaMeanErr"}, {"contin", "mainPeakRadius"}};
    for (const char* command : {"cumulants", "contin"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> args = {command, "--json", "--quiet"};
        args.insert(args.end(), files.begin(), files.end());
        auto one = Batch(dir, args);
        args.insert(args.begin() + 1, {"--jobs", "2"});
        auto two = Batch(dir, args);
        EXPECT_EQ(one.Wait(), 0) << one.Err();
        EXPECT_EQ(two.Wait(), 0) << two.Err();
        EXPECT_EQ(two.Out(), one.Out());
        const auto json = one.Objects();
        ASSERT_EQ(json.size(), files.size());

        args = {command, "--table", std::string(command) == "contin" ? "tsv" : "csv", "--quiet"};
        args.insert(args.end(), files.begin(), files.end());
        auto table = Batch(dir, args);
        const auto rows = Rows(table.Out(), std::string(command) == "contin" ? '\t' : ',');
        ASSERT_EQ(rows.size(), files.size() + 1) << table.Out();
        for (std::size_t i = 0; i < files.size(); ++i) {
            const auto& row = rows[i + 1];
            EXPECT_EQ(row[Column(rows[0], "file")] + " " + row[Column(rows[0], "status")], files[i] + " ok");
            EXPECT_EQ(Num(row[Column(rows[0], "angle")]), json[i]["sample"]["angle"].Num());
            EXPECT_EQ(Num(row[Column(rows[0], "q")]), json[i]["sample"]["q"].Num());
            for (const auto& [of, column] : columns) {
                if (of != command) continue;
                double expected = NAN;
                if (of == "cumulants") {
                    expected = json[i][column].Num();
                } else {
                    // The chosen solution's largest peak, its radius of the mean rate.
                    const minijson::Value& s = json[i]["solutions"][static_cast<std::size_t>(json[i]["chosen"].Num())];
                    const minijson::Value* main = nullptr;
                    for (const minijson::Value& p : s["peaks"].items)
                        if (!main || p["intensity"].Num() > (*main)["intensity"].Num()) main = &p;
                    ASSERT_NE(main, nullptr);
                    expected = (*main)["harmonicMeanRadius"].Num();
                }
                EXPECT_EQ(Num(row[Column(rows[0], column)]), expected) << column << " of " << files[i];
            }
        }
    }
}
