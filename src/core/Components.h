#pragma once
// What the shells show of a DISCRETE component beyond the listing's own
// numbers, decided once for the window and fluvena-batch: its decay time,
// its size, and how many component groups a results-log line carries.
#include "base/Outcome.h"
#include "core/Requests.h"
#include "core/Solutions.h"
#include "physics/Sample.h"
#include "physics/Sizes.h"

#include <cstddef>
#include <optional>

namespace fluvena {

// A decay time in the data's unit with its percent error.
struct DecayTime {
    double value = 0.0;
    double percentErr = 0.0;
};

// The decay time 1/rate of a component, with the rate's percent error (to
// first order the relative error of 1/x is that of x). A rate of 0 (or one so
// small that 1/rate is not a finite number) has no decay time: the window
// leaves its cell empty, its sizes are not given (ComponentSize says why) and
// the batch writes null; a results-log line that needs it ends the click with
// the division's error (ResultsLog.h).
std::optional<DecayTime> ComponentDecayTime(const Component& c);

// The diffusion coefficient and hydrodynamic radius of a component; a failure
// says why there is none (no decay time, or sample parameters that give no size).
Outcome<physics::SizeEstimate> ComponentSize(const Component& c, const SampleParameters& sample);

// The component groups of a DISCRETE results-log line: the largest number of
// components the last DISCRETE request asked for (0 without one).
std::size_t ComponentGroups(const std::optional<DiscreteRequest>& lastRequest);

}  // namespace fluvena
