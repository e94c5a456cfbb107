#include "core/Components.h"

#include "physics/NumberArg.h"

#include <algorithm>
#include <cmath>

namespace fluvena {

std::optional<DecayTime> ComponentDecayTime(const Component& c)
{
    if (c.rate == 0.0 || !std::isfinite(c.rate)) return std::nullopt;
    const double t = 1.0 / c.rate;
    if (!std::isfinite(t)) return std::nullopt;
    return DecayTime{t, c.rateErr};
}

Outcome<physics::SizeEstimate> ComponentSize(const Component& c, const SampleParameters& sample)
{
    const std::optional<DecayTime> t = ComponentDecayTime(c);
    if (!t) return Fail("a component of rate %1 has no decay time, so no size", {physics::NumberArg(c.rate)});
    return physics::SizeFromDecayTime(t->value, t->percentErr, sample);
}

std::size_t ComponentGroups(const std::optional<DiscreteRequest>& lastRequest)
{
    return lastRequest ? static_cast<std::size_t>(std::max(lastRequest->maxComponents, 0)) : 0;
}

}  // namespace fluvena
