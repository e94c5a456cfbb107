#pragma once
// The answer of an analysis in one line, as parts a shell words in its own
// language: the cumulant z-average with the PDI and beta; the sizes of the
// solution CONTIN chose; DISCRETE's components. Sizes that are withheld
// (quality flags) stay empty and carry the reason.
#include "base/Outcome.h"
#include "core/Quality.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace fluvena {

class Measurement;

struct HeadlinePart {
    std::optional<double> radiusNm;          // the hydrodynamic radius (CONTIN: from the peak's mean decay time)
    std::optional<double> harmonicRadiusNm;  // CONTIN: from the peak's mean rate, M(0)/M(-1)
    double share = 0.0;                      // of the intensity (CONTIN) or amplitude (DISCRETE), 0 ... 1
    std::optional<Failure> noSize;           // why radiusNm is empty
};

struct Headline {
    quality::Subject subject = quality::Subject::Cumulants;
    // Cumulants.
    std::optional<double> zRadiusNm, zDiameterNm;
    double pdi = 0.0;
    std::optional<double> beta;
    // CONTIN: the solution CONTIN chose; CONTIN and DISCRETE: the peaks or
    // components of the solution, fastest first.
    std::size_t solution = 0;
    std::vector<HeadlinePart> parts;
    // No size at all, and why.
    std::optional<Failure> noSize;
    // A flag of warning or error severity stands.
    bool warning = false;
};

// The headline of the last result of `subject`; empty without that result.
std::optional<Headline> MakeHeadline(const Measurement& m, quality::Subject subject, const quality::Report& report);

// The headline in English, numbers with `separator`:
//   "z-average 560 nm (d 1121 nm) · PDI 0.25 · β 0.22"
//   "chosen solution 8: 779 nm (100 %)"
//   "2 components: 251 nm (61 %), 1409 nm (39 %)"
std::string HeadlineText(const Headline& headline, char separator);

}  // namespace fluvena
