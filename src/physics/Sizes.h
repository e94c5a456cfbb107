#pragma once
// From decay rates to particle sizes: the scattering vector, the diffusion
// coefficient, the Stokes-Einstein hydrodynamic radius and the solvent
// properties they need.
#include "base/Outcome.h"
#include "physics/Sample.h"

#include <optional>
#include <string_view>

namespace fluvena::physics {

// Boltzmann constant, J/K (exact since the 2019 SI).
inline constexpr double kBoltzmann = 1.380649e-23;

// Scattering vector q = 4 pi n sin(theta / 2) / lambda in 1/m, lambda the
// vacuum wavelength (Berne & Pecora, Dynamic Light Scattering, 1976).
// Fails when the wavelength, the refractive index or the angle (0 < theta <= 180)
// cannot be those of a measurement.
Outcome<double> ScatteringVector(const SampleParameters& p);

// What one decay rate means as a size. Errors are one standard deviation;
// with exact sample parameters the relative error of the rate, of D and of
// R_h is that of the decay time.
struct SizeEstimate {
    double rate = 0.0;            // Gamma, 1/s
    double rateErr = 0.0;
    double diffusion = 0.0;       // D = Gamma / q^2, m^2/s
    double diffusionErr = 0.0;
    double radiusNm = 0.0;        // R_h = k_B T / (6 pi eta D), nm (Stokes-Einstein)
    double radiusErrNm = 0.0;
};

// The size for a decay rate Gamma of the field correlation g1 (1/s) with its
// relative error (a fraction, >= 0).
Outcome<SizeEstimate> SizeFromRate(double rate, double relativeErr, const SampleParameters& p);

// The size for a decay time of g1 in the data's time unit (p.timeUnit) with
// its error in percent (>= 0; 0 when unknown).
Outcome<SizeEstimate> SizeFromDecayTime(double decayTime, double percentErr, const SampleParameters& p);

// The cumulant z-average: diameter x_z = k_B T q^2 / (3 pi eta Gamma_mean)
// (ISO 22412:2017, the Stokes-Einstein relation applied to the mean rate)
// and radius x_z / 2, in nm, with the error that of Gamma_mean.
struct ZAverage {
    double diameterNm = 0.0;
    double diameterErrNm = 0.0;
    double radiusNm = 0.0;
    double radiusErrNm = 0.0;
};
Outcome<ZAverage> ZAverageSize(double gammaMean, double gammaMeanErr, const SampleParameters& p);

// Viscosity of liquid water in mPa s (= cP) at T in kelvin. Fails outside
// 0 ... 100 C.
Outcome<double> WaterViscosityCp(double temperatureK);

enum class Solvent { Water, Toluene, Ethanol, Custom };

struct SolventProperties {
    double viscosityCp = 0.0;
    double refractiveIndex = 0.0;
};

// The preset's viscosity and refractive index at T. A custom solvent has no
// preset: it fails, and the user's values stand.
Outcome<SolventProperties> SolventAt(Solvent solvent, double temperatureK);

// "water", "toluene", "ethanol", "custom" (as the batch options spell them).
std::string_view SolventName(Solvent solvent);
std::optional<Solvent> SolventFromName(std::string_view name);

}  // namespace fluvena::physics
