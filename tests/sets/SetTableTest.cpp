// The rows of a set of measurements, the fit of their rates over the angles
// and the table they make.
#include "sets/AngleFit.h"
#include "sets/SetTable.h"

#include "../TestData.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace fluvena::sets {
namespace {

namespace FT = fluvena::testing;

// The fits below work at the scale of a measurement: q^2 in units of
// 1e14 1/m^2 (30 ... 150 degrees at 632.8 nm in water) and D_app in units of
// 1e-12 m^2/s, so sums of squares span many decades as they do in use.
constexpr double kQ2 = 1e14, kD = 1e-12;

// A point whose D_app is y kD at q^2 = x kQ2.
AnglePoint At(double x, double y, double yErr = 0.0, bool included = true)
{
    return AnglePoint{std::sqrt(x * kQ2), y * kD * x * kQ2, yErr * kD * x * kQ2, included};
}

TEST(AngleFit, TextbookLinesWithAndWithoutWeights)
{
    // y = 2/3 + x/2 through (1,1), (2,2), (3,2): residuals -1/6, 1/3, -1/6,
    // s^2 = 1/6 on one degree of freedom; se(a) = sqrt(s^2 * 14/6), se(b) = sqrt(s^2 / 2).
    const std::vector<AnglePoint> pts{At(1, 1), At(2, 2), At(3, 2), At(9, 100, 0, false)};
    const auto fit = FitApparentDiffusion(pts);
    ASSERT_TRUE(fit) << fit.failure().message();
    EXPECT_FALSE(fit->weighted);
    EXPECT_EQ(fit->points, 3);
    EXPECT_NEAR(fit->d0 / kD, 2.0 / 3.0, 1e-10);
    EXPECT_NEAR(fit->slope / (kD / kQ2), 0.5, 1e-10);
    EXPECT_NEAR(fit->d0Err / kD, std::sqrt(14.0 / 36.0), 1e-10);
    EXPECT_NEAR(fit->slopeErr / (kD / kQ2), std::sqrt(1.0 / 12.0), 1e-10);
    EXPECT_NEAR(fit->rSquared, 0.75, 1e-10);  // 1 - (1/6) / (2/3)
    EXPECT_NEAR(fit->tQuantile, 12.7062, 1e-4);  // t(0.975, 1)
    // At x = 0 the band is the intercept's own interval; cov(a, b) = -s^2 * 6/6.
    EXPECT_NEAR(fit->BandHalfWidthAt(0.0), fit->tQuantile * fit->d0Err, 1e-10 * kD);
    EXPECT_NEAR(fit->covariance / (kD * kD / kQ2), -1.0 / 6.0, 1e-10);

    // The same three points, the middle one 100 times less certain: the
    // weighted line runs through the outer two.
    const auto weighted = FitApparentDiffusion(std::vector<AnglePoint>{At(1, 1, 0.01), At(2, 2, 1.0), At(3, 2, 0.01)});
    ASSERT_TRUE(weighted);
    EXPECT_TRUE(weighted->weighted);
    EXPECT_NEAR(weighted->d0 / kD, 0.5, 1e-3);
    EXPECT_NEAR(weighted->slope / (kD / kQ2), 0.5, 1e-3);
}

TEST(AngleFit, RefusesWhatCannotBeFitted)
{
    const std::vector<std::vector<AnglePoint>> cases{
        {At(1, 1)},                                 // one point
        {At(1, 1), At(2, 2, 0, false)},             // one included
        {At(1, 1), At(1, 1.1)},                     // one angle twice
        {At(1, 1), AnglePoint{0.0, 1.0, 0, true}},  // q = 0
        {At(1, 1), At(2, -1)},                      // negative rate
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_FALSE(FitApparentDiffusion(cases[i])) << "case " << i;
}

// A number in a table cell (a count or a double); none for an empty cell.
std::optional<double> NumberIn(const results::TableCell& cell)
{
    if (const auto* v = std::get_if<double>(&cell)) return *v;
    if (const auto* n = std::get_if<long long>(&cell)) return static_cast<double>(*n);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(cell));
    return std::nullopt;
}

// Each value of the rows in the table under its own column name, exactly (an
// empty cell where the row has none).
void ExpectTableHoldsTheRows(const std::vector<SetRow>& rows, const std::string& file)
{
    const results::Table table = MakeTable(rows);
    ASSERT_EQ(table.rows.size(), rows.size());
    using Field = std::optional<double> SetRow::*;
    const std::pair<const char*, Field> fields[] = {
        {"angle", &SetRow::angleDeg}, {"temperature", &SetRow::temperatureK}, {"q", &SetRow::q},
        {"meanCountRate", &SetRow::meanCountRateKHz}, {"beta", &SetRow::beta}, {"gammaMean", &SetRow::gammaMean},
        {"gammaMeanErr", &SetRow::gammaMeanErr}, {"zAverageRadius", &SetRow::zRadiusNm},
        {"zAverageRadiusErr", &SetRow::zRadiusErrNm}, {"pdi", &SetRow::pdi}, {"mainPeakRadius", &SetRow::mainPeakRadiusNm},
        {"reportedZAverage", &SetRow::reportedZAverageNm}, {"reportedPdi", &SetRow::reportedPdi},
        {"reportedIntercept", &SetRow::reportedIntercept},
    };
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const auto cell = [&](const char* name) { return table.rows[n].at(static_cast<std::size_t>(table.Column(name))); };
        const SetRow& r = rows[n];
        EXPECT_EQ(std::get<std::string>(cell("file")), file);
        for (const auto& [name, field] : fields) EXPECT_EQ(NumberIn(cell(name)), r.*field) << name << " row " << n;
        EXPECT_EQ(std::tuple(NumberIn(cell("detector")), NumberIn(cell("included")), NumberIn(cell("q2"))),
                  std::tuple(r.detector ? std::optional<double>(*r.detector) : std::nullopt, r.included ? 1.0 : 0.0, r.Q2()))
            << "row " << n;
    }
}

// The file's truth: D0 = 4.818e-12 m^2/s, z-average radius 44.50 nm (no form
// factor, so the same at q -> 0).
TEST(SetTable, EightAnglesExtrapolateToTheTruth)
{
    MeasurementSet set;
    const std::string path = FT::DataPath("alv/multiangle-8det.ASC");
    ASSERT_TRUE(set.AddFile(path, ReadFile(path), io::ReadOptions{}));
    ASSERT_EQ(set.Size(), 8u);
    for (std::size_t k = 0; k < set.Size(); ++k)
        ASSERT_EQ(set.At(k).measurement.RunCumulants(CumulantRequest{}).status, RunStatus::Ok);
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

    // A member left out is a hollow point outside the fit, not a lost row, and
    // each row's values stand in the table under their own column names.
    set.SetIncluded(7, false);
    rows = MakeRows(set);
    const AnglePoints points = MakeAnglePoints(rows, RateSource::Cumulants);
    ASSERT_EQ(points.points.size(), 8u);
    EXPECT_FALSE(points.points[7].included);
    EXPECT_EQ(fitOf(rows).points, 7);
    EXPECT_NE(fitOf(rows).d0, fit.d0);
    ExpectTableHoldsTheRows(rows, "multiangle-8det.ASC");
}

// CONTIN's main peak is its largest share, and the rate the angle fit takes
// from it is the one its radius was computed from; DISCRETE's components
// fastest first.
TEST(SetTable, MainPeakAndComponents)
{
    MeasurementSet set;
    set.Add("bimodal.txt", {FT::LoadFixture("bimodal.txt")});
    Measurement& m = set.At(0).measurement;
    FT::RecordedRunner contin(FT::ReadFixture("bimodal.contin.out")), discrete(FT::ReadFixture("bimodal.discrete.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{0.1, 1000, 100}, contin).status, RunStatus::Ok);
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

// An instrument's export: its own z-average, PDI and intercept stand beside
// Fluvena's in the rows and the table, record by record.
TEST(SetTable, InstrumentAnswersBesideOurs)
{
    MeasurementSet zeta;
    const std::string path = FT::DataPath("instruments/zetasizer-export.txt");
    ASSERT_TRUE(zeta.AddFile(path, ReadFile(path), io::ReadOptions{}));
    const std::vector<SetRow> rows = MakeRows(zeta);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const io::InstrumentHeader& h = *zeta.At(k).measurement.File().instrument;
        ASSERT_TRUE(h.reportedZAverageNm && h.reportedPdi);
        EXPECT_EQ(std::tuple(rows[k].reportedZAverageNm, rows[k].reportedPdi, rows[k].reportedIntercept),
                  std::tuple(h.reportedZAverageNm, h.reportedPdi, h.reportedIntercept)) << k;
    }
    EXPECT_NE(rows[0].reportedZAverageNm, rows[1].reportedZAverageNm);
    ExpectTableHoldsTheRows(rows, "zetasizer-export.txt");
}

}  // namespace
}  // namespace fluvena::sets
