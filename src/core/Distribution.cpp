#include "core/Distribution.h"

#include "physics/Sizes.h"

#include <algorithm>

namespace fluvena {

Outcome<DistributionCurve> Distribution(const ContinSolution& solution, DistributionAxis axis,
                                        DistributionWeighting weighting, const SampleParameters& sample)
{
    const std::size_t n = std::min({solution.distX.size(), solution.distY.size(), solution.distErr.size()});
    DistributionCurve c;
    c.x.assign(solution.distX.begin(), solution.distX.begin() + static_cast<std::ptrdiff_t>(n));
    c.y.assign(solution.distY.begin(), solution.distY.begin() + static_cast<std::ptrdiff_t>(n));
    c.err.assign(solution.distErr.begin(), solution.distErr.begin() + static_cast<std::ptrdiff_t>(n));
    if (weighting == DistributionWeighting::PerLnTau) {
        for (std::size_t i = 0; i < n; ++i) {
            c.y[i] *= c.x[i];
            c.err[i] *= c.x[i];
        }
    }
    if (axis == DistributionAxis::Radius) {
        for (double& x : c.x) {
            const Outcome<physics::SizeEstimate> size = physics::SizeFromDecayTime(x, 0.0, sample);
            if (!size) return size.failure();
            x = size->radiusNm;
        }
    }
    return c;
}

}  // namespace fluvena
