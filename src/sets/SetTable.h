#pragma once
// One row per measurement of a set: what the set's table shows and exports,
// and the points its angle fit is made of. Each row is read from the
// measurement's last results: the cumulant fit (mean rate, beta, z-average,
// PDI), the solution CONTIN chose (its main peak, MainPeak: the peak of the
// largest intensity, sized from its mean rate M(0)/M(-1), the radius that
// compares with the z-average) and DISCRETE's best solution.
#include "core/MeasurementSet.h"
#include "results/Table.h"
#include "sets/AngleFit.h"
#include "sets/Repeats.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fluvena::sets {

// Where the mean decay rate of the angle fit comes from.
enum class RateSource { Cumulants, ContinMainPeak };

struct ComponentSize {
    std::optional<double> radiusNm;  // empty when the component gives no size
    double share = 0.0;              // of the amplitude, 0 ... 1
};

// The mean and sample standard deviation (n - 1) of `count` values.
struct MeanSd {
    double mean = 0.0, sd = 0.0;
    int count = 0;
};

struct SetRow {
    std::string file;  // the file's name without its directory
    std::optional<int> detector, record;
    bool included = true;
    std::optional<double> angleDeg, temperatureK, viscosityCp;
    // When the measurement was made: the file's date and time as seconds
    // since 1970-01-01 00:00 on the instrument's clock (MeasurementTime).
    std::optional<double> measuredAtS;
    std::optional<double> userValue;  // what the user typed for it (a concentration, ...)
    std::optional<double> q;  // 1/m
    std::optional<double> meanCountRateKHz;
    // Cumulants.
    std::optional<double> beta, gammaMean, gammaMeanErr, zRadiusNm, zRadiusErrNm, pdi;
    // CONTIN's main peak: its radius and share, and its mean rate (1/s) with the error.
    std::optional<double> mainPeakRadiusNm, mainPeakShare, mainPeakRate, mainPeakRateErr;
    // What the instrument's own analysis reported, as its file states it: the
    // z-average diameter (nm), the PDI and the intercept.
    std::optional<double> reportedZAverageNm, reportedPdi, reportedIntercept;
    std::vector<ComponentSize> components;  // DISCRETE, fastest first
    std::vector<std::string> flags;         // codes of the quality flags of warning or error severity
    RepeatMark repeat = RepeatMark::None;   // marked against the other repeats of its angle and temperature
    // Its group of repeats (0-based, numbered in the order of their first
    // member) and the group's mean and standard deviation of the z-average
    // radius and of the cumulant mean rate over the group's included members
    // that have one; empty unless at least two have.
    std::size_t group = 0;
    std::optional<MeanSd> groupZRadiusNm, groupGammaMean;

    std::optional<double> Q2() const { return q ? std::optional<double>(*q * *q) : std::nullopt; }
    // The mean rate and its error from `source`; empty when that result has none.
    std::optional<std::pair<double, double>> Rate(RateSource source) const;
};

SetRow MakeRow(const SetMember& member);
// Every member's row; repeats (one angle and temperature) are compared by
// their cumulant mean rate, and a repeat far from its group's median or with
// dust in its count rate is marked. Each row gets its group and the group's
// mean +- sd.
std::vector<SetRow> MakeRows(const MeasurementSet& set);

// The angle fit's points: q and the mean rate from `source`, with the
// included mark; rows without q or without that rate give no point (their
// indices are not in `rowOf`).
struct AnglePoints {
    std::vector<AnglePoint> points;
    std::vector<std::size_t> rowOf;  // the row of each point
};
AnglePoints MakeAnglePoints(std::span<const SetRow> rows, RateSource source);

// The hydrodynamic radius at q -> 0 from D0 by the Stokes-Einstein relation,
// R = k_B T / (6 pi eta D0), in nm with its error (that of D0), for the
// temperature and viscosity of the first included row that states both.
struct RadiusAtZero {
    double radiusNm = 0.0, radiusErrNm = 0.0;
};
std::optional<RadiusAtZero> HydrodynamicRadius0(const AngleFit& fit, std::span<const SetRow> rows);

// The table with stable column names: file, detector, included, angle (deg),
// temperature (K), q (1/m), q2 (1/m^2), meanCountRate (kHz), beta,
// gammaMean, gammaMeanErr (1/s), zAverageRadius, zAverageRadiusErr (nm),
// pdi, mainPeakRadius (nm), mainPeakShare, reportedZAverage (the
// instrument's diameter, nm), reportedPdi, reportedIntercept, discreteKRadius (nm) and
// discreteKShare for K = 1 ... the most components of any row, flags
// ("; "-separated codes), repeat ("outlier", "dust" or empty), then the
// repeat group: group (1-based), groupCount (its included members),
// groupMeanZAverageRadius,
// groupSdZAverageRadius (nm), groupMeanGammaMean, groupSdGammaMean (1/s)
// (empty for a group of fewer than two such members), and last measuredAt
// (the file's date and time, "YYYY-MM-DD hh:mm:ss") and userValue.
results::Table MakeTable(std::span<const SetRow> rows);

}  // namespace fluvena::sets
