#pragma once
// A CONTIN distribution as a DLS user reads it: over decay time or over
// hydrodynamic radius, and as computed or per ln tau.
#include "base/Outcome.h"
#include "core/Solutions.h"
#include "physics/Sample.h"

#include <vector>

namespace fluvena {

enum class DistributionAxis {
    DecayTime,  // the grid as CONTIN computed it, in the data's time unit
    Radius,     // the hydrodynamic radius each decay time stands for, nm
};

enum class DistributionWeighting {
    AsComputed,  // s(tau), the density in tau that CONTIN computes
    PerLnTau,    // tau s(tau): on a logarithmic axis the area under a peak
                 // is its intensity fraction (the same per ln R_h, since
                 // R_h is proportional to tau)
};

struct DistributionCurve {
    std::vector<double> x, y, err;  // err: the standard error of y
};

// The solution's distribution on the chosen axis and weighting. A radius
// axis fails when the sample parameters cannot give a size.
Outcome<DistributionCurve> Distribution(const ContinSolution& solution, DistributionAxis axis,
                                        DistributionWeighting weighting, const SampleParameters& sample);

}  // namespace fluvena
