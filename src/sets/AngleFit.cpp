#include "AngleFit.h"

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace fluvena::sets {

double ApparentDiffusion(const AnglePoint& p) { return p.gamma / (p.q * p.q); }
double ApparentDiffusionErr(const AnglePoint& p) { return p.gammaErr / (p.q * p.q); }

double AngleFit::BandHalfWidthAt(double q2) const
{
    const double var = d0Err * d0Err + q2 * q2 * slopeErr * slopeErr + 2.0 * q2 * covariance;
    return tQuantile * std::sqrt(std::max(var, 0.0));
}

Outcome<AngleFit> FitApparentDiffusion(std::span<const AnglePoint> points)
{
    std::vector<const AnglePoint*> used;
    for (const AnglePoint& p : points) {
        if (!p.included) continue;
        if (!(p.q > 0.0) || !(p.gamma > 0.0) || !std::isfinite(p.q) || !std::isfinite(p.gamma))
            return Fail("a measurement in the fit has no positive scattering vector or mean rate");
        used.push_back(&p);
    }
    if (used.size() < 2) return Fail("the fit over q\u00b2 needs at least two included measurements");

    const bool weighted = std::all_of(used.begin(), used.end(), [](const AnglePoint* p) {
        return p->gammaErr > 0.0 && std::isfinite(p->gammaErr);
    });
    // Weighted sums of the normal equations for y = a + b x, x = q^2.
    double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const AnglePoint* p : used) {
        const double x = p->q * p->q, y = ApparentDiffusion(*p);
        const double s = weighted ? ApparentDiffusionErr(*p) : 1.0;
        const double w = 1.0 / (s * s);
        sw += w, sx += w * x, sy += w * y, sxx += w * x * x, sxy += w * x * y;
    }
    const double det = sw * sxx - sx * sx;
    // Two points at one angle (repeats only) leave the slope undetermined.
    if (!(det > 1e-12 * sw * sxx)) return Fail("the fit over q\u00b2 needs measurements at two angles at least");

    AngleFit fit;
    fit.points = static_cast<int>(used.size());
    fit.weighted = weighted;
    fit.d0 = (sxx * sy - sx * sxy) / det;
    fit.slope = (sw * sxy - sx * sy) / det;

    double chi2 = 0, ssTot = 0;
    const double yMean = sy / sw;
    for (const AnglePoint* p : used) {
        const double x = p->q * p->q, y = ApparentDiffusion(*p);
        const double s = weighted ? ApparentDiffusionErr(*p) : 1.0;
        const double w = 1.0 / (s * s);
        chi2 += w * (y - fit.LineAt(x)) * (y - fit.LineAt(x));
        ssTot += w * (y - yMean) * (y - yMean);
    }
    const int dof = fit.points - 2;
    // Unweighted fits know their scatter only from the residuals; weighted
    // ones are scaled too (errors from repeats are themselves uncertain).
    const double scale = dof > 0 ? chi2 / dof : (weighted ? 1.0 : 0.0);
    fit.d0Err = std::sqrt(scale * sxx / det);
    fit.slopeErr = std::sqrt(scale * sw / det);
    fit.covariance = -scale * sx / det;
    fit.rSquared = ssTot > 0 ? 1.0 - chi2 / ssTot : 1.0;
    fit.tQuantile = dof > 0 ? boost::math::quantile(boost::math::students_t(dof), 0.975) : 0.0;
    return fit;
}

}  // namespace fluvena::sets
