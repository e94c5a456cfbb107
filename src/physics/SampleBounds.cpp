#include "SampleBounds.h"

#include <charconv>
#include <cmath>

namespace fluvena::physics {

Bounds BoundsOf(Quantity q)
{
    switch (q) {
    case Quantity::Temperature: return {200.0, 500.0};
    case Quantity::Viscosity: return {0.01, 1e4};
    case Quantity::RefractiveIndex: return {1.0, 3.0};
    case Quantity::Wavelength: return {100.0, 2000.0};
    case Quantity::Angle: return {0.0, 180.0, true};
    }
    return {};
}

bool WithinBounds(Quantity q, double v)
{
    const Bounds b = BoundsOf(q);
    return b.open ? (v > b.low && v < b.high) : (v >= b.low && v <= b.high);
}

std::string ValueArg(double v)
{
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

std::optional<Failure> CheckQuantity(Quantity q, double v)
{
    if (WithinBounds(q, v)) return std::nullopt;
    const std::string value = ValueArg(v);
    switch (q) {
    case Quantity::Temperature: return Fail("the temperature must lie from 200 to 500 K, not %1", {value});
    case Quantity::Viscosity: return Fail("the viscosity must lie from 0.01 to 10000 cP, not %1", {value});
    case Quantity::RefractiveIndex: return Fail("the refractive index must lie from 1.0 to 3.0, not %1", {value});
    case Quantity::Wavelength: return Fail("the wavelength must lie from 100 to 2000 nm, not %1", {value});
    case Quantity::Angle:
        return Fail("the scattering angle must lie strictly between 0 and 180 degrees, not %1", {value});
    }
    return std::nullopt;
}

std::optional<Failure> ValidateSample(const SampleParameters& p)
{
    const std::pair<Quantity, double> values[] = {
        {Quantity::Wavelength, p.wavelengthNm},   {Quantity::Angle, p.angleDeg},
        {Quantity::Temperature, p.temperatureK},  {Quantity::Viscosity, p.viscosityCp},
        {Quantity::RefractiveIndex, p.refractiveIndex},
    };
    for (const auto& [q, v] : values)
        if (auto bad = CheckQuantity(q, v)) return bad;
    return std::nullopt;
}

}  // namespace fluvena::physics
