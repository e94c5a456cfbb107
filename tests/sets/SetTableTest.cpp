#include "sets/SetTable.h"

#include "../TestData.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace fluvena::sets {
namespace {

namespace FT = fluvena::testing;

MeasurementSet EightAngles()
{
    MeasurementSet set;
    const std::string path = FT::DataPath("alv/multiangle-8det.ASC");
    EXPECT_TRUE(set.AddFile(path, ReadFile(path), io::ReadOptions{}));
    for (std::size_t k = 0; k < set.Size(); ++k)
        EXPECT_EQ(set.At(k).measurement.RunCumulants(CumulantRequest{}).status, RunStatus::Ok);
    return set;
}

// The file's truth: D0 = 4.818e-12 m^2/s, z-average radius 44.50 nm (no form
// factor, so the same at q -> 0).
TEST(SetTable, EightAnglesExtrapolateToTheTruth)
{
    MeasurementSet set = EightAngles();
    ASSERT_EQ(set.Size(), 8u);
    std::vector<SetRow> rows = MakeRows(set);
    // Each detector keeps its own angle and count rate (the header's MeanCR k).
    const struct { std::size_t row; double angle, rate; } detectors[] = {{0, 30.0, 80.06951}, {4, 90.0, 120.31349}, {7, 135.0, 150.05136}};
    for (const auto& d : detectors) {
        EXPECT_EQ(rows[d.row].detector, static_cast<int>(d.row) + 1);
        EXPECT_DOUBLE_EQ(*rows[d.row].angleDeg, d.angle);
        EXPECT_NEAR(*rows[d.row].meanCountRateKHz, d.rate, 1e-9);
    }
    const auto fitOf = [](std::span<const SetRow> r) {
        const Outcome<AngleFit> fit = FitApparentDiffusion(MakeAnglePoints(r, RateSource::Cumulants).points);
        EXPECT_TRUE(fit);
        return *fit;
    };
    const AngleFit fit = fitOf(rows);
    EXPECT_EQ(fit.points, 8);
    EXPECT_TRUE(fit.weighted);
    EXPECT_NEAR(fit.d0, 4.818e-12, 0.02 * 4.818e-12);
    const std::optional<RadiusAtZero> r0 = HydrodynamicRadius0(fit, rows);
    ASSERT_TRUE(r0);
    EXPECT_NEAR(r0->radiusNm, 44.50, 0.02 * 44.50);
    EXPECT_NEAR(r0->radiusErrNm / r0->radiusNm, fit.d0Err / fit.d0, 1e-12);

    // A member left out is a hollow point outside the fit, not a lost row.
    set.SetIncluded(7, false);
    rows = MakeRows(set);
    const AnglePoints points = MakeAnglePoints(rows, RateSource::Cumulants);
    ASSERT_EQ(points.points.size(), 8u);
    EXPECT_FALSE(points.points[7].included);
    EXPECT_EQ(fitOf(rows).points, 7);
    EXPECT_NE(fitOf(rows).d0, fit.d0);
}

// CONTIN's main peak is its largest share, and the rate the angle fit takes
// from it is the one its radius was computed from; DISCRETE's components
// fastest first.
TEST(SetTable, MainPeakAndComponents)
{
    MeasurementSet set;
    std::vector<io::DataFile> files;
    files.push_back(FT::LoadFixture("bimodal.txt"));
    set.Add("bimodal.txt", std::move(files));
    Measurement& m = set.At(0).measurement;
    FT::RecordedRunner contin(FT::ReadFixture("bimodal.contin.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{0.1, 1000, 100}, contin).status, RunStatus::Ok);
    FT::RecordedRunner discrete(FT::ReadFixture("bimodal.discrete.out"));
    ASSERT_EQ(m.RunDiscrete(DiscreteRequest{}, discrete).status, RunStatus::Ok);
    const SetRow row = MakeRow(set.At(0));
    EXPECT_FALSE(row.gammaMean);
    ASSERT_TRUE(row.mainPeakShare && row.mainPeakRadiusNm && row.mainPeakRate);
    EXPECT_NEAR(*row.mainPeakShare, 0.56, 0.005);
    const Outcome<physics::SizeEstimate> size = physics::SizeFromRate(*row.mainPeakRate, 0.0, m.Sample());
    ASSERT_TRUE(size);
    EXPECT_NEAR(size->radiusNm, *row.mainPeakRadiusNm, 1e-9 * size->radiusNm);
    EXPECT_GT(*row.mainPeakRateErr, 0.0);
    ASSERT_EQ(row.components.size(), 2u);
    EXPECT_NEAR(*row.components[0].radiusNm, 1.26, 0.005);
    EXPECT_NEAR(row.components[1].share, 0.40, 0.005);
    // Without a cumulant fit the main peak still gives a point; the cumulants none.
    const std::vector<SetRow> rows{row};
    EXPECT_EQ(MakeAnglePoints(rows, RateSource::ContinMainPeak).points.size(), 1u);
    EXPECT_TRUE(MakeAnglePoints(rows, RateSource::Cumulants).points.empty());
}

std::vector<std::string> Split(const std::string& line, char sep)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, sep);) cells.push_back(cell);
    if (!line.empty() && line.back() == sep) cells.emplace_back();
    return cells;
}

// Each value under its own column name, read back as the same double.
TEST(SetTable, TableColumnsHoldTheirValues)
{
    MeasurementSet set = EightAngles();
    set.SetIncluded(3, false);
    const std::vector<SetRow> rows = MakeRows(set);
    const std::string tsv = results::FormatTable(MakeTable(rows), results::TableFormat::Tsv);
    std::stringstream in(tsv);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = Split(line, '\t');
    const auto column = [&](const std::string& name) {
        const auto it = std::find(header.begin(), header.end(), name);
        EXPECT_NE(it, header.end()) << name;
        return static_cast<std::size_t>(it - header.begin());
    };
    const struct {
        const char* name;
        std::optional<double> (*value)(const SetRow&);
    } numbers[] = {
        {"detector", [](const SetRow& r) { return std::optional<double>(*r.detector); }},
        {"included", [](const SetRow& r) { return std::optional<double>(r.included ? 1 : 0); }},
        {"angle", [](const SetRow& r) { return r.angleDeg; }},
        {"temperature", [](const SetRow& r) { return r.temperatureK; }},
        {"q", [](const SetRow& r) { return r.q; }},
        {"q2", [](const SetRow& r) { return r.Q2(); }},
        {"meanCountRate", [](const SetRow& r) { return r.meanCountRateKHz; }},
        {"beta", [](const SetRow& r) { return r.beta; }},
        {"gammaMean", [](const SetRow& r) { return r.gammaMean; }},
        {"gammaMeanErr", [](const SetRow& r) { return r.gammaMeanErr; }},
        {"zAverageRadius", [](const SetRow& r) { return r.zRadiusNm; }},
        {"zAverageRadiusErr", [](const SetRow& r) { return r.zRadiusErrNm; }},
        {"pdi", [](const SetRow& r) { return r.pdi; }},
        {"mainPeakRadius", [](const SetRow& r) { return r.mainPeakRadiusNm; }},
    };
    std::size_t n = 0;
    for (; std::getline(in, line); ++n) {
        ASSERT_LT(n, rows.size());
        const std::vector<std::string> cells = Split(line, '\t');
        ASSERT_EQ(cells.size(), header.size()) << line;
        EXPECT_EQ(cells[column("file")], "multiangle-8det.ASC");
        for (const auto& c : numbers) {
            const std::optional<double> v = c.value(rows[n]);
            const std::string& cell = cells[column(c.name)];
            if (!v) EXPECT_EQ(cell, "") << c.name;
            else EXPECT_EQ(std::stod(cell), *v) << c.name << " row " << n;
        }
    }
    EXPECT_EQ(n, rows.size());
}

}  // namespace
// An instrument's export: its own z-average, PDI and intercept stand beside
// Fluvena's in the rows and the table, record by record.
TEST(SetTable, InstrumentAnswersBesideOurs)
{
    MeasurementSet set;
    const std::string path = FT::DataPath("instruments/zetasizer-export.txt");
    ASSERT_TRUE(set.AddFile(path, ReadFile(path), io::ReadOptions{}));
    const std::vector<SetRow> rows = MakeRows(set);
    const results::Table table = MakeTable(rows);
    ASSERT_EQ(table.rows.size(), 3u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const io::InstrumentHeader& h = *set.At(k).measurement.File().instrument;
        ASSERT_TRUE(h.reportedZAverageNm && h.reportedPdi);
        EXPECT_EQ(rows[k].reportedZAverageNm, h.reportedZAverageNm);
        EXPECT_EQ(rows[k].reportedPdi, h.reportedPdi);
        EXPECT_EQ(rows[k].reportedIntercept, h.reportedIntercept);
        EXPECT_EQ(std::get<double>(table.rows[k][static_cast<std::size_t>(table.Column("reportedZAverage"))]),
                  *h.reportedZAverageNm);
        EXPECT_EQ(std::get<double>(table.rows[k][static_cast<std::size_t>(table.Column("reportedPdi"))]), *h.reportedPdi);
    }
    EXPECT_NE(rows[0].reportedZAverageNm, rows[1].reportedZAverageNm);
}

}  // namespace fluvena::sets
