#include "common/Statistics.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace fluvena::engine {

double FCdf(double f, double d1, double d2) {
    if (!(f > 0.0)) return 0.0;
    if (!std::isfinite(f)) return 1.0;
    try {
        const boost::math::fisher_f_distribution<double> dist(d1, d2);
        const double p = boost::math::cdf(dist, f);
        return std::isfinite(p) ? std::clamp(p, 0.0, 1.0) : 1.0;
    } catch (...) {
        return 1.0;
    }
}

double ProbabilityBetter(double chi2Small, int pSmall, double chi2Large, int pLarge, int points) {
    const int df1 = pLarge - pSmall, df2 = points - pLarge;
    if (df1 <= 0 || df2 <= 0 || !std::isfinite(chi2Small) || !std::isfinite(chi2Large)) return 0.0;
    if (chi2Large <= 0) return chi2Small > 0 ? 1.0 : 0.0;
    const double f = ((chi2Small - chi2Large) / df1) / (chi2Large / df2);
    return FCdf(f, df1, df2);
}

SerialCorrelationTest TestSerialCorrelation(const std::vector<double>& residuals) {
    SerialCorrelationTest out;
    const std::size_t n = residuals.size();
    // The coefficients do not depend on the residuals' scale; taking them to
    // at most 1 keeps the sums of squares of huge residuals finite.
    double top = 0;
    for (double v : residuals) top = std::max(top, std::abs(v));
    std::vector<double> r(residuals);
    if (top > 0 && std::isfinite(top))
        for (double& v : r) v /= top;
    double num = 0, den = 0;
    for (std::size_t k = 1; k <= kSerialLags; ++k) {
        out.lagProb[k - 1] = -1;
        if (n < k + 2) continue;
        // The pairs (r_i, r_i+K): their correlation about zero, the value
        // residuals scatter around.
        const std::size_t pairs = n - k;
        double cross = 0, early = 0, late = 0;
        for (std::size_t i = 0; i < pairs; ++i) {
            cross += r[i] * r[i + k];
            early += r[i] * r[i];
            late += r[i + k] * r[i + k];
        }
        double prob = 1.0;
        const double scale = std::sqrt(early) * std::sqrt(late);
        if (scale > 0 && std::isfinite(scale) && std::isfinite(cross)) {
            const double rho = std::clamp(cross / scale, -1.0, 1.0);
            // Student's t with pairs - 1 degrees of freedom, as for the slope
            // of a regression through the origin; two-sided, so strongly
            // alternating residuals count as much as strongly smooth ones.
            const double df = static_cast<double>(pairs - 1);
            const double denom = 1.0 - rho * rho;
            if (denom <= 0) {
                prob = 0.0;
            } else {
                const double t = std::abs(rho) * std::sqrt(df / denom);
                prob = std::isfinite(t) ? 2.0 * boost::math::cdf(boost::math::complement(
                                                    boost::math::students_t_distribution<double>(df), t))
                                        : 0.0;
            }
        }
        out.lagProb[k - 1] = std::clamp(prob, 0.0, 1.0);
        num += out.lagProb[k - 1] / static_cast<double>(k);
        den += 1.0 / static_cast<double>(k);
    }
    out.punc = den > 0 ? num / den : 1.0;
    return out;
}

}  // namespace fluvena::engine
