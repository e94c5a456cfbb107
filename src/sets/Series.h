#pragma once
// A series over a set of measurements: one result of the set's table (the
// z-average radius, PDI, a CONTIN peak's radius, ...) against a parameter
// of the measurements (temperature, the time they were made, angle, q^2,
// their order, or a value the user typed such as a concentration). Size
// against temperature shows melting or aggregation onsets, against time the
// stability of a sample.
#include "sets/SetTable.h"

#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace fluvena::sets {

// What the series shows (its error, where the result has one).
enum class SeriesY {
    ZAverageRadius,     // nm, with its error
    Pdi,
    Beta,
    GammaMean,          // cumulant mean rate, 1/s, with its error
    ApparentDiffusion,  // D_app = Gamma / q^2, m^2/s, with its error
    MainPeakRadius,     // CONTIN's main peak, nm, with the error of its rate
    MainPeakShare,      // 0 ... 1
    CountRate,          // kHz
    ReportedZAverage,   // the instrument's own z-average diameter, nm
};
inline constexpr int kSeriesYCount = 9;

// What it is shown against.
enum class SeriesX {
    FileOrder,    // 1, 2, ... in the set's order
    Temperature,  // K
    Time,         // minutes after the earliest measurement of the set
    Angle,        // degrees
    Q2,           // 1/m^2
    UserValue,    // the value typed for each measurement
};
inline constexpr int kSeriesXCount = 6;

struct SeriesPoint {
    double x = 0.0, y = 0.0;
    double err = 0.0;        // the result's standard error, or the sd of a group's repeats; 0: none
    bool included = true;    // false: drawn hollow
    std::vector<std::size_t> rows;  // the rows it stands for: one, or a group's included members
};

// The value a row shows and its error (0 when the result has none); empty
// when the row has no such value.
std::optional<std::pair<double, double>> SeriesValue(const SetRow& row, SeriesY y);
// The row's abscissa; `timeOrigin` is the earliest measuredAtS of the set.
std::optional<double> SeriesKey(const SetRow& row, std::size_t index, SeriesX x, double timeOrigin);

// The points of rows that have both values, in increasing x (rows with
// equal x in the set's order). With `groupRepeats` the included members of a
// group of repeats become one point: the means of their x and y, the sample
// standard deviation of y as its error (with two or more members; one
// member keeps its own error); excluded members stay single hollow points.
std::vector<SeriesPoint> MakeSeries(std::span<const SetRow> rows, SeriesY y, SeriesX x, bool groupRepeats);

// The time a file states (its date and time fields) as seconds since
// 1970-01-01 00:00 on the same clock, with no time zone applied. Dates as
// instruments write them: "04.06.2015", "13-Nov-18", "12 March 2026",
// "2026-03-12" (English month names and their three-letter forms, also the
// German ones a correlator may write; two-digit years 70-99 are 19xx, the
// others 20xx); times "16:22:15", "11:20", "11:20:00 PM". An empty time is
// midnight. Empty when the date cannot be read, or is ambiguous ("03/04/2015").
std::optional<double> MeasurementTime(std::string_view date, std::string_view time);

}  // namespace fluvena::sets
