#include "Errors.h"

#include <cmath>

namespace fluvena {

std::string CannotOpenFile(const std::string& name) { return "Cannot open file " + name; }
std::string CannotCreateFile(const std::string& name) { return "Cannot create file " + name; }

double Divide(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) throw FloatError(kInvalidOperation);
    if (b == 0.0) {
        if (a == 0.0) throw FloatError(kInvalidOperation);
        throw FloatError(kDivisionByZero);
    }
    const double q = a / b;
    if (std::isinf(q)) throw FloatError(kOverflow);
    return q;
}

}  // namespace fluvena
