#include "physics/Sizes.h"
#include "physics/NumberArg.h"
#include "physics/SampleBounds.h"

#include <cmath>
#include <numbers>
#include <string>

namespace fluvena::physics {

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

Outcome<double> ScatteringVector(const SampleParameters& p)
{
    if (!Positive(p.wavelengthNm)) return Fail("the wavelength must be a positive number of nm, not %1", {NumberArg(p.wavelengthNm)});
    if (!Positive(p.refractiveIndex)) return Fail("the refractive index must be positive, not %1", {NumberArg(p.refractiveIndex)});
    if (!Positive(p.angleDeg) || p.angleDeg > 180.0)
        return Fail("the scattering angle must lie above 0 and at most 180 degrees, not %1", {NumberArg(p.angleDeg)});
    const double theta = p.angleDeg * std::numbers::pi / 180.0;
    return 4.0 * std::numbers::pi * p.refractiveIndex * std::sin(theta / 2.0) / (p.wavelengthNm * 1e-9);
}

Outcome<SizeEstimate> SizeFromRate(double rate, double relativeErr, const SampleParameters& p)
{
    if (!Positive(rate)) return Fail("a size needs a positive decay rate, not %1", {NumberArg(rate)});
    if (!std::isfinite(relativeErr) || relativeErr < 0.0)
        return Fail("the error of a decay rate must be zero or positive, not %1", {NumberArg(relativeErr)});
    if (!Positive(p.temperatureK)) return Fail("the temperature must be a positive number of K, not %1", {NumberArg(p.temperatureK)});
    if (!Positive(p.viscosityCp)) return Fail("the viscosity must be a positive number of cP, not %1", {NumberArg(p.viscosityCp)});
    const auto q = ScatteringVector(p);
    if (!q) return q.failure();
    // Values no measurement can have give sizes that mean nothing.
    if (auto impossible = ValidateSample(p)) return *impossible;

    SizeEstimate s;
    s.rate = rate;
    s.diffusion = rate / (q.value() * q.value());  // D = Gamma / q^2
    const double eta = p.viscosityCp * 1e-3;      // cP = mPa s -> Pa s
    // Stokes-Einstein: R_h = k_B T / (6 pi eta D) (Einstein, Ann. Phys. 17 (1905) 549).
    s.radiusNm = kBoltzmann * p.temperatureK / (6.0 * std::numbers::pi * eta * s.diffusion) * 1e9;
    // First-order propagation with exact parameters: every quantity here is
    // proportional to Gamma or to 1/Gamma, so all share its relative error.
    if (!Positive(s.diffusion) || !Positive(s.radiusNm))
        return Fail("no size can be given for the decay rate %1 1/s: the result lies beyond the range of numbers",
                    {NumberArg(rate)});
    s.rateErr = relativeErr * s.rate;
    s.diffusionErr = relativeErr * s.diffusion;
    s.radiusErrNm = relativeErr * s.radiusNm;
    return s;
}

Outcome<SizeEstimate> SizeFromDecayTime(double decayTime, double percentErr, const SampleParameters& p)
{
    if (!Positive(decayTime)) return Fail("a size needs a positive decay time, not %1", {NumberArg(decayTime)});
    // Gamma = 1 / tau with tau in seconds.
    return SizeFromRate(1.0 / (decayTime * SecondsPer(p.timeUnit)), percentErr / 100.0, p);
}

Outcome<ZAverage> ZAverageSize(double gammaMean, double gammaMeanErr, const SampleParameters& p)
{
    // x_z = k_B T q^2 / (3 pi eta Gamma_mean) is twice the Stokes-Einstein
    // radius of the mean rate.
    const auto s = SizeFromRate(gammaMean, Positive(gammaMean) ? gammaMeanErr / gammaMean : 0.0, p);
    if (!s) return s.failure();
    return ZAverage{2.0 * s->radiusNm, 2.0 * s->radiusErrNm, s->radiusNm, s->radiusErrNm};
}

Outcome<double> WaterViscosityCp(double temperatureK)
{
    if (!std::isfinite(temperatureK) || temperatureK < 273.15 || temperatureK > 373.15)
        return Fail("the viscosity of water is known here from 273.15 to 373.15 K, not at %1 K", {NumberArg(temperatureK)});
    // Vogel form eta = A 10^(B / (T - C)) with A = 2.414e-5 Pa s, B = 247.8 K,
    // C = 140 K (as given by Al-Shemmeri, Engineering Fluid Mechanics, 2012;
    // within about 2.5 % of the reference values from 0 to 370 C).
    return 0.02414 * std::pow(10.0, 247.8 / (temperatureK - 140.0));
}

Outcome<SolventProperties> SolventAt(Solvent solvent, double temperatureK)
{
    switch (solvent) {
    case Solvent::Water: {
        const auto eta = WaterViscosityCp(temperatureK);
        if (!eta) return eta.failure();
        // n of water near 633 nm, taken as independent of T (it changes by
        // about 1e-4 per K, far below what matters for a size).
        return SolventProperties{eta.value(), 1.332};
    }
    // Toluene and ethanol: their 25 C values, used at every temperature (no
    // temperature dependence is applied; a custom solvent takes other
    // values), refractive indices for visible light without dispersion.
    case Solvent::Toluene: return SolventProperties{0.560, 1.496};
    case Solvent::Ethanol: return SolventProperties{1.074, 1.361};
    case Solvent::Custom: break;
    }
    return Fail("a custom solvent has no preset values: enter its viscosity and refractive index");
}

std::string_view SolventName(Solvent solvent)
{
    switch (solvent) {
    case Solvent::Water: return "water";
    case Solvent::Toluene: return "toluene";
    case Solvent::Ethanol: return "ethanol";
    case Solvent::Custom: break;
    }
    return "custom";
}

std::optional<Solvent> SolventFromName(std::string_view name)
{
    for (Solvent s : {Solvent::Water, Solvent::Toluene, Solvent::Ethanol, Solvent::Custom})
        if (SolventName(s) == name) return s;
    return std::nullopt;
}

}  // namespace fluvena::physics
