#pragma once
// Quality flags: what a user should know before trusting a measurement or a
// result, judged as ISO 22412 asks (intercept, residuals, PDI) and as labs
// judge a correlator's run (decay above the noise, baseline, dust, drift,
// lags that are not correlation values). Each flag has a code, a severity and
// a sentence with its numbers. The thresholds and their reasons are listed in
// docs/quality.md. Pure: values in, flags out.
#include "base/Outcome.h"
#include "core/Solutions.h"
#include "io/DataFile.h"
#include "physics/Sample.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {
class Measurement;
}

namespace fluvena::quality {

enum class Severity { Note, Warning, Error };

// "note", "warning", "error".
std::string_view SeverityName(Severity severity);

struct Flag {
    std::string code;  // "no-decay", "low-intercept", ... (see docs/quality.md)
    Severity severity = Severity::Note;
    // The sentence: an English pattern with %1 ... for its numbers, so that a
    // window can translate the pattern before filling the numbers in.
    Failure text;
    std::string Message() const { return text.message(); }
};

// The analyses a result comes from.
enum class Subject { Cumulants, Contin, Discrete };

// The lag times an analysis saw, in the data's time unit: the first positive
// one and the last one of the range.
struct LagWindow {
    double first = 0.0, last = 0.0;
};

// ------------------------------------------------------------ single checks
// Each returns the flags it raises (none when all is well).

// Fewer points in the range than a decay can be judged from.
std::vector<Flag> CheckPointCount(std::size_t points);

// y: the range as the intensity correlation g2 - 1 (g1^2 for field data).
// No decay clearly above the point scatter of the start.
std::vector<Flag> CheckDecay(std::span<const double> y);
// Leading points that cannot be correlation values: at or below zero, or far
// above the plateau that follows. Gives their count through `count`.
std::vector<Flag> CheckFirstLags(std::span<const double> y, std::size_t* count = nullptr);
// The tail away from the baseline, or a decay that has not ended by the last lag.
// `intercept`: the level at t -> 0 (beta for g2 - 1). `severe`: a baseline the
// analyses do not fit (g2 kinds) is a warning; field data's offset (which
// CONTIN and DISCRETE fit as a constant) only a note.
std::vector<Flag> CheckBaseline(std::span<const double> y, double intercept, bool severe);
// The coherence factor beta of g2 - 1 data.
std::vector<Flag> CheckIntercept(double beta);
// The count-rate trace: dust spikes and a drift of the mean.
std::vector<Flag> CheckCountRate(const io::CountRateTrace& trace);
// Residuals of a fit: larger than the data's point scatter at the start and
// than 1 % of its level there (a warning), or in long runs of one sign (a
// note). `noise`: that scatter (0: unknown); `level`: the data's intercept.
std::vector<Flag> CheckResiduals(std::span<const double> residuals, double noise, double level);
// The cumulant PDI.
std::vector<Flag> CheckPdi(double pdi);

// The runs test of Wald and Wolfowitz (Ann. Math. Stat. 11 (1940) 147) on the
// signs of a sequence (zeros skipped): the number of runs as a standard
// normal deviate; strongly negative when signs come in long blocks. 0 when
// the test cannot be made (fewer than two of either sign).
double RunsZ(std::span<const double> values);

// Why a peak or component gives no size: it lies wholly outside the lag
// window (a peak by its extent, or its position when the extent is unknown).
// `number`: 1-based, for the sentence.
std::optional<Failure> PeakWithoutSize(const ContinPeak& peak, const LagWindow& lags, std::size_t number);
std::optional<Failure> ComponentWithoutSize(const Component& component, const LagWindow& lags, std::size_t number);

// Peaks of a CONTIN solution outside the lag window or at a grid end.
std::vector<Flag> CheckContinPeaks(const ContinSolution& solution, const LagWindow& lags);
// Components of a DISCRETE solution outside the lag window.
std::vector<Flag> CheckComponents(const DiscreteSolution& solution, const LagWindow& lags);

// ------------------------------------------------------------ whole results

struct Report {
    std::vector<Flag> flags;  // in the order of the checks, data first
    // Why no result of this analysis carries a size (no decay, too few
    // points); empty when sizes are given.
    std::optional<Failure> noSize;
    LagWindow lags;

    bool Has(std::string_view code) const;
    // The highest severity among the flags (Note when there are none).
    Severity Worst() const;
};

// Every flag of the measurement's data (range, sample, count-rate trace) and
// of the last result of `subject`: the cumulant fit, the solution CONTIN
// chose, DISCRETE's best solution. Without that result only the data's flags.
Report Assess(const Measurement& m, Subject subject);

}  // namespace fluvena::quality
