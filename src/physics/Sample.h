#pragma once
// What a measurement's numbers mean: the kind of correlation function the
// ordinates are, the unit of the abscissae, and the sample and instrument
// parameters that turn decay times into particle sizes.
#include <optional>

namespace fluvena {

// The ordinate of the data.
enum class DataKind {
    G1,        // field correlation function (or any decay): used as it stands
    G2Minus1,  // normalised intensity correlation minus one, beta * g1^2
    G2,        // intensity correlation with its baseline B (about 1)
};

// The unit of the abscissa (lag times).
enum class TimeUnit { Seconds, Milliseconds, Microseconds, Nanoseconds };

inline constexpr double SecondsPer(TimeUnit unit)
{
    switch (unit) {
    case TimeUnit::Seconds: return 1.0;
    case TimeUnit::Milliseconds: return 1e-3;
    case TimeUnit::Microseconds: return 1e-6;
    case TimeUnit::Nanoseconds: return 1e-9;
    }
    return 1.0;
}

// How the baseline B of g2 data is found.
enum class BaselineMode {
    Fixed,  // the value given (1 unless the user sets another)
    Tail,   // the mean of the last 10 % of the points
};

// Sample and instrument parameters. The defaults are the constants the CONTIN
// deck has always carried (RUSER 15...19).
struct SampleParameters {
    double wavelengthNm = 488.0;     // laser wavelength in vacuum
    double angleDeg = 90.0;          // scattering angle
    double temperatureK = 293.16;
    double viscosityCp = 1.006;      // solvent viscosity, cP = mPa s
    double refractiveIndex = 1.332;  // of the solvent
    TimeUnit timeUnit = TimeUnit::Microseconds;
    DataKind dataKind = DataKind::G1;
    BaselineMode baselineMode = BaselineMode::Fixed;
    double baseline = 1.0;           // B for g2 data with BaselineMode::Fixed
};

}  // namespace fluvena
