#pragma once
// What the sample and instrument parameters of a real measurement can be.
// Values outside these bounds are typing or file faults (5 K, 1e-300 cP, an
// index of 1e9), and sizes computed from them would be meaningless: they are
// refused wherever they enter, from a file's header or from the user.
#include "base/Outcome.h"
#include "physics/Sample.h"

#include <optional>
#include <string>

namespace fluvena::physics {

enum class Quantity { Temperature, Viscosity, RefractiveIndex, Wavelength, Angle };

// The closed range low ... high, or for the angle the open range
// 0 < theta < 180 degrees.
struct Bounds {
    double low = 0.0, high = 0.0;
    bool open = false;  // both ends excluded
};

// Temperature 200 ... 500 K, viscosity 0.01 ... 1e4 cP, refractive index
// 1.0 ... 3.0, wavelength 100 ... 2000 nm, angle strictly between 0 and 180.
Bounds BoundsOf(Quantity q);

// True when v (not NaN) lies within the quantity's bounds.
bool WithinBounds(Quantity q, double v);

// The failure for a value outside its bounds, naming the quantity and the
// value; nothing for a possible value.
std::optional<Failure> CheckQuantity(Quantity q, double v);

// The first parameter of the sample that no measurement can have, or nothing.
std::optional<Failure> ValidateSample(const SampleParameters& p);

// A value as a message quotes it: the shortest form that reads back to it.
std::string ValueArg(double v);

}  // namespace fluvena::physics
