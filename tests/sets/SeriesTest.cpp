// Repeats grouped and marked, and the series drawn from the rows of a set.
#include "sets/Repeats.h"
#include "sets/Series.h"

#include "../TestData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fluvena::sets {
namespace {

namespace FT = fluvena::testing;

TEST(Repeats, GroupsByAngleAndTemperatureAndMarksTheOddOne)
{
    // Five repeats at 90 degrees (one of them 1.3 times too fast), two at
    // 30 degrees, one at 90 degrees but 5 K warmer, one with dust.
    const std::vector<RepeatInput> in{
        {90.0, 298.15, 100.0},  {90.01, 298.2, 101.0}, {30.0, 298.15, 20.0},
        {90.0, 298.15, 130.0},  {90.0, 298.15, 99.0},  {90.0, 303.15, 120.0},
        {90.0, 298.15, 100.5},  {30.0, 298.15, 26.0},  {30.0, 298.1, 20.5, true},
    };
    const RepeatAnalysis r = AnalyseRepeats(in);
    ASSERT_EQ(r.groups.size(), 3u);
    EXPECT_EQ(r.groups[0].members, (std::vector<std::size_t>{0, 1, 3, 4, 6}));
    EXPECT_EQ(r.groups[1].members, (std::vector<std::size_t>{2, 7, 8}));
    EXPECT_EQ(r.groups[2].members, (std::vector<std::size_t>{5}));
    EXPECT_EQ(r.groupOf[7], 1u);

    using M = RepeatMark;
    EXPECT_EQ(r.marks, (std::vector{M::None, M::None, M::None, M::Outlier, M::None, M::None, M::None, M::Outlier, M::Dust}));

    const RepeatGroup& g = r.groups[0];
    EXPECT_EQ(g.values, 5);
    EXPECT_NEAR(g.mean, 106.1, 1e-9);
    EXPECT_NEAR(g.median, 100.5, 1e-12);
    EXPECT_NEAR(g.robustSd, 1.4826 * 0.5, 1e-12);  // deviations 0.5 0.5 29.5 1.5 0
    EXPECT_NEAR(g.standardDeviation, 13.3810, 1e-4);

    // Two repeats cannot single one out; identical repeats mark one that differs;
    // a repeat without a value is never marked.
    const RepeatAnalysis few = AnalyseRepeats(std::vector<RepeatInput>{
        {90, 298, 1.0}, {90, 298, 5.0},                                    // pair
        {60, 298, 2.0}, {60, 298, 2.0}, {60, 298, 2.0}, {60, 298, 2.2},  // MAD 0
        {60, 298, std::nullopt},
    });
    ASSERT_EQ(few.groups.size(), 2u);
    EXPECT_EQ(few.marks, (std::vector{M::None, M::None, M::None, M::None, M::None, M::Outlier, M::None}));
    EXPECT_EQ(few.groups[1].values, 4);
}

// Dates and times as instruments write them, against seconds since 1970
// worked out by a calendar.
TEST(Series, MeasurementTimeReadsInstrumentDates)
{
    const struct { const char *date, *time; std::optional<double> seconds; } cases[] = {
        {"04.06.2015", "16:22:15", 1433434935.0},  // ALV
        {"13-Nov-18", "10:31:29", 1542105089.0},   // ALV, older
        {"12 March 2026", "11:20:00", 1773314400.0},  // Zetasizer
        {"12-Mär-26", "11:20", 1773314400.0},      // German month
        {"2026-03-12", "", 1773273600.0},
        {"12.03.2026", "12:30 PM", 1773318600.0},
        {"12.03.2026", "12:30 AM", 1773275400.0},
        {"31-Dec-99", "23:59:59.5", 946684799.5},
        {"03/04/2015", "10:00:00", std::nullopt},  // day or month first?
        {"31.02.2015", "10:00:00", std::nullopt},
        {"04.06.2015", "24:00:00", std::nullopt},
        {"04.06.2015", "10:61", std::nullopt},
        {"", "10:00:00", std::nullopt},
        {"4.6", "10:00:00", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(MeasurementTime(c.date, c.time), c.seconds) << c.date << " " << c.time;
}

// A row at 90 degrees; the mean rate has an error of 1 %, and an error of 0 is none.
SetRow Row(double temperature, double q, std::optional<double> at, std::optional<double> z, double zErr,
           std::optional<double> gamma, std::optional<double> user, bool included, std::size_t group)
{
    SetRow r;
    r.temperatureK = temperature, r.angleDeg = 90.0, r.q = q, r.measuredAtS = at, r.zRadiusNm = z, r.gammaMean = gamma;
    if (zErr > 0.0) r.zRadiusErrNm = zErr;
    if (gamma) r.gammaMeanErr = *gamma / 100.0;
    r.userValue = user, r.included = included, r.group = group;
    return r;
}

// Which rows give points, their order, values and errors, and the hollow
// points of excluded rows, for each kind of abscissa.
TEST(Series, PointsFromRows)
{
    constexpr double t0 = 1433434935.0;
    std::vector<SetRow> rows = {
        Row(298.15, 2e7, t0 + 600, 50.0, 2.0, 1000.0, 0.5, true, 0),
        Row(303.15, 1e7, t0, 60.0, 3.0, 900.0, std::nullopt, true, 1),
        Row(308.15, 2e7, t0 + 1200, 70.0, 0.0, std::nullopt, 0.25, false, 2),
        Row(298.15, 2e7, t0 + 1800, 54.0, 2.0, 950.0, 0.5, true, 0),
    };
    rows[2].mainPeakRadiusNm = 100.0, rows[2].mainPeakRate = 500.0, rows[2].mainPeakRateErr = 25.0, rows[2].pdi = 0.2;
    struct Expected { double x, y, err; bool included; std::size_t row; };
    const struct { SeriesY y; SeriesX x; bool groups; std::vector<Expected> points; } cases[] = {
        {SeriesY::ZAverageRadius, SeriesX::Temperature, false,
         {{298.15, 50, 2, true, 0}, {298.15, 54, 2, true, 3}, {303.15, 60, 3, true, 1}, {308.15, 70, 0, false, 2}}},
        // Minutes after the earliest measurement, whichever row it is.
        {SeriesY::ZAverageRadius, SeriesX::Time, false,
         {{0, 60, 3, true, 1}, {10, 50, 2, true, 0}, {20, 70, 0, false, 2}, {30, 54, 2, true, 3}}},
        {SeriesY::GammaMean, SeriesX::UserValue, false, {{0.5, 1000, 10, true, 0}, {0.5, 950, 9.5, true, 3}}},
        {SeriesY::ApparentDiffusion, SeriesX::Q2, false,
         {{1e14, 9e-12, 9e-14, true, 1}, {4e14, 2.5e-12, 2.5e-14, true, 0}, {4e14, 950 / 4e14, 9.5 / 4e14, true, 3}}},
        {SeriesY::MainPeakRadius, SeriesX::FileOrder, false, {{3, 100, 5, false, 2}}},
        {SeriesY::Pdi, SeriesX::Angle, false, {{90, 0.2, 0, false, 2}}},
        // Repeats as one point: means of x and y, the sd of y; a lone member keeps its error.
        {SeriesY::ZAverageRadius, SeriesX::FileOrder, true,
         {{2, 60, 3, true, 1}, {2.5, 52, std::sqrt(8.0), true, 0}, {3, 70, 0, false, 2}}},
        {SeriesY::ZAverageRadius, SeriesX::Time, true, {{0, 60, 3, true, 1}, {20, 52, std::sqrt(8.0), true, 0}, {20, 70, 0, false, 2}}},
    };
    for (const auto& c : cases) {
        const std::vector<SeriesPoint> points = MakeSeries(rows, c.y, c.x, c.groups);
        SCOPED_TRACE(::testing::Message() << "y " << static_cast<int>(c.y) << " x " << static_cast<int>(c.x) << " groups " << c.groups);
        ASSERT_EQ(points.size(), c.points.size());
        for (std::size_t k = 0; k < points.size(); ++k) {
            const Expected& e = c.points[k];
            EXPECT_NEAR(points[k].x, e.x, 1e-9 * std::fabs(e.x)) << k;
            EXPECT_NEAR(points[k].y, e.y, 1e-12 * std::fabs(e.y)) << k;
            EXPECT_NEAR(points[k].err, e.err, 1e-12 * std::fabs(e.y)) << k;
            EXPECT_EQ(std::pair(points[k].included, points[k].rows.front()), std::pair(e.included, e.row)) << k;
        }
    }
}

// Four repeats of one file, one of them a copy whose lag times are stretched
// by 1.3 (its radius 1.3 times larger) and two by 1.02 and 0.98: the group's
// mean and sd of the radius are worked out from those factors, with the
// stretched copy marked and counted until the user clears its mark.
TEST(Series, RepeatGroupMeanAndSd)
{
    MeasurementSet set;
    for (const double stretch : {1.0, 1.3, 1.02, 0.98}) {
        io::DataFile file = FT::LoadFixture("alv/LC8.2_0001.ASC");
        for (double& x : file.x) x *= stretch;
        set.Add("repeat.asc", {file});
        set.At(set.Size() - 1).measurement.RunCumulants(CumulantRequest{});
    }
    set.SetUserValue(3, 2.5);
    std::vector<SetRow> rows = MakeRows(set);
    ASSERT_TRUE(rows[0].zRadiusNm && rows[0].gammaMean);
    const double r = *rows[0].zRadiusNm, g = *rows[0].gammaMean;
    EXPECT_EQ(rows[1].repeat, RepeatMark::Outlier);
    ASSERT_TRUE(rows[2].groupZRadiusNm && rows[2].groupGammaMean);
    EXPECT_EQ(rows[2].groupZRadiusNm->count, 4);
    EXPECT_NEAR(rows[2].groupZRadiusNm->mean, 1.075 * r, 1e-6 * r);
    EXPECT_NEAR(rows[2].groupZRadiusNm->sd, 0.150886 * r, 1e-5 * r);
    const double gMean = g * (1.0 + 1.0 / 1.3 + 1.0 / 1.02 + 1.0 / 0.98) / 4.0;
    EXPECT_NEAR(rows[0].groupGammaMean->mean, gMean, 1e-6 * g);

    set.SetIncluded(1, false);
    rows = MakeRows(set);
    for (const SetRow& row : rows) {
        ASSERT_TRUE(row.groupZRadiusNm);
        EXPECT_EQ(row.groupZRadiusNm->count, 3);
        EXPECT_NEAR(row.groupZRadiusNm->mean, r, 1e-6 * r);
        EXPECT_NEAR(row.groupZRadiusNm->sd, 0.02 * r, 1e-6 * r);
    }
    // The exported table carries the same numbers, the file's date and the typed value.
    const results::Table table = MakeTable(rows);
    const auto cell = [&](std::size_t row, const char* column) {
        return table.rows[row][static_cast<std::size_t>(table.Column(column))];
    };
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(std::get<long long>(cell(k, "group")), 1);
        EXPECT_EQ(std::get<long long>(cell(k, "groupCount")), 3);
        EXPECT_EQ(std::get<double>(cell(k, "groupMeanZAverageRadius")), rows[k].groupZRadiusNm->mean);
        EXPECT_EQ(std::get<double>(cell(k, "groupSdGammaMean")), rows[k].groupGammaMean->sd);
        EXPECT_EQ(std::get<std::string>(cell(k, "measuredAt")), "2015-06-04 15:53:10");
    }
    EXPECT_EQ(std::get<double>(cell(3, "userValue")), 2.5);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(cell(0, "userValue")));
}

}  // namespace
}  // namespace fluvena::sets
