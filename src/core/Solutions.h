#pragma once
// The solutions an analysis program reports, as read from its listing, with
// every decay time in the data's own time unit.
#include "core/Requests.h"
#include "cumulants/Cumulants.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fluvena {

// A point range of the loaded data: indices first ... last. Nothing keeps
// first <= last: the two scroll bars may cross.
struct PointRange {
    std::int64_t first = 0;
    std::int64_t last = -1;
    std::int64_t Count() const { return last - first + 1; }
};

// One peak of a CONTIN solution. The errors are percent errors.
struct ContinPeak {
    double intensity = 0.0, intensityErr = 0.0;
    double position = 0.0, positionErr = 0.0;  // the mean decay time M(1)/M(0)
    double width = 0.0;                        // (STD. DEV.)/MEAN
    // The mean decay rate's time M(0)/M(-1): the intensity-weighted harmonic
    // mean of the decay time, and its percent error. A radius from it compares
    // with the cumulant z-average; the listing prints it beside M(0).
    std::optional<double> harmonicPosition{}, harmonicPositionErr{};
    // The grid interval the peak covers ("GOES FROM ... TO ...").
    std::optional<double> from{}, to{};
};

// One CONTIN solution: the distribution on the grid (with its standard
// errors), its peaks, and the fit at the analysed points.
struct ContinSolution {
    std::vector<double> fitX, fitY;
    std::vector<double> distX, distY, distErr;
    std::vector<ContinPeak> peaks;
    // The moments of the whole solution, as of a peak spanning the grid (the
    // listing prints them apart only for two peaks or more; with one peak they
    // are that peak's). Absent for a solution without peaks.
    std::optional<ContinPeak> entire;
    double prob1ToReject = 0.0;
};

// The main peak of a solution: the one of the largest intensity; none
// without peaks.
inline std::optional<std::size_t> MainPeak(const ContinSolution& s)
{
    std::optional<std::size_t> main;
    for (std::size_t k = 0; k < s.peaks.size(); ++k)
        if (!main || s.peaks[k].intensity > s.peaks[*main].intensity) main = k;
    return main;
}

struct ContinResult {
    ContinRequest request;
    PointRange range;
    std::vector<ContinSolution> solutions;
    std::size_t chosen = 0;  // the solution CONTIN chose (PROB1 TO REJECT nearest 0.5)
    // The coherence factor the data were turned into g1 with (g2 kinds only)
    // and the baseline B taken off first (g2 only, else 0): the fits are in
    // g1, physics::FitInDataTerms gives them in the data's terms.
    std::optional<double> beta;
    double baseline = 0.0;
};

// One exponential component of a DISCRETE solution: amplitude and rate
// (1 / data time unit) with their percent errors.
struct Component {
    double amplitude = 0.0, amplitudeErr = 0.0;
    double rate = 0.0, rateErr = 0.0;
};

// One DISCRETE solution with its fit and residuals over the analysed points.
struct DiscreteSolution {
    std::vector<Component> components;
    double baseline = 0.0;
    double punc = 0.0;
    std::vector<double> fitX, fitY, residual;
};

struct DiscreteResult {
    DiscreteRequest request;
    PointRange range;
    std::vector<DiscreteSolution> solutions;  // best first
    // The listing doubts that its best solution is really best ("PROBABILITY
    // THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY ...").
    bool uncertain = false;
    // The coherence factor the data were turned into g1 with (g2 kinds only)
    // and the baseline B taken off first (g2 only, else 0): the fits are in
    // g1, physics::FitInDataTerms gives them in the data's terms.
    std::optional<double> beta;
    double baseline = 0.0;
    // The listing's own sentence on that doubt ("PROBABILITY THAT THIS
    // SOLUTION IS ACTUALLY BEST IS ONLY ..."), one line; empty when none.
    std::string uncertainReason{};
};

// A cumulant fit of the range: the fit itself (indices within the range) and
// the range it was made on.
struct CumulantResult {
    CumulantRequest request;
    PointRange range;
    cumulants::Result fit;
    // The lag times of the fitted points (fit.fitFirst ... fit.fitLast of the
    // range) in the data's unit, beside fit.fitted and fit.residuals.
    std::vector<double> fitX;
};

}  // namespace fluvena
