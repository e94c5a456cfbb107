#pragma once
// What a user asks of an analysis: the typed requests the window's controls
// and the batch tool's options are turned into.
#include <array>
#include <cstdint>

namespace fluvena {

// A CONTIN analysis: the grid of decay times, in the data's time unit.
struct ContinRequest {
    double gridMin = 0.1;
    double gridMax = 1000.0;
    std::int32_t gridPoints = 100;
    // The regularizer that weighs the second differences by the signal each
    // grid point puts into the data, instead of the classic one; the deck
    // asks for it with a card of its own.
    bool signalWeighted = false;
    // For g2 data: each point of g1 weighted by the Siegert relation's
    // propagated noise (the deck carries the weights); g1 data are never
    // weighted.
    bool siegertWeights = true;
};

// The default cut-off of the cumulant fit range: the fraction of the
// intercept below which the fit range ends: 10 %, and 1 % for Frisken's form,
// whose free baseline needs the range to reach far down the decay (see
// cumulants::Options).
inline constexpr double kDefaultCutoff = 0.1;
inline constexpr double kDefaultFriskenCutoff = 0.01;
constexpr double DefaultCutoff(bool frisken) { return frisken ? kDefaultFriskenCutoff : kDefaultCutoff; }

// A cumulant analysis (ISO 22412) of the points of the range: the order of
// the fit, the method, and the fraction of the intercept below which the fit
// range ends.
struct CumulantRequest {
    int order = 2;
    bool frisken = false;
    double cutoff = DefaultCutoff(false);
};

// The nine switches of a DISCRETE deck, in deck order.
enum DiscreteSwitch : std::size_t { kLast, kRegint, kNobase, kNoneg, kPry, kPrprel, kPrfinl, kPlotrs, kRepeat };
using DiscreteSwitches = std::array<bool, 9>;
inline constexpr DiscreteSwitches kDefaultSwitches = {true, false, false, true, false, false, true, true, false};
inline constexpr std::int32_t kDefaultWeighting = 2;

// A DISCRETE analysis: the largest number of components, the weighting
// option, the number of starting tries and the switches.
struct DiscreteRequest {
    std::int32_t maxComponents = 6;
    std::int32_t weighting = kDefaultWeighting;
    std::int32_t tries = 5;
    DiscreteSwitches switches = kDefaultSwitches;
    // As for CONTIN: the Siegert relation's weights for g2 data, which take
    // the place of the weighting option.
    bool siegertWeights = true;
};

}  // namespace fluvena
