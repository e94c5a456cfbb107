#include "common/Statistics.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/normal.hpp>

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

SerialCorrelationTest TestSerialCorrelation(const std::vector<double>& r) {
    SerialCorrelationTest out;
    const std::size_t n = r.size();
    double ss = 0;
    for (double v : r) ss += v * v;
    double num = 0, den = 0;
    const boost::math::normal normal;
    for (std::size_t k = 1; k <= kSerialLags; ++k) {
        out.lagProb[k - 1] = -1;
        if (n < k + 2) continue;
        double prob = 1.0;
        if (ss > 0 && std::isfinite(ss)) {
            double c = 0;
            for (std::size_t i = 0; i + k < n; ++i) c += r[i] * r[i + k];
            const double rho = c / ss;
            const double nn = static_cast<double>(n);
            const double mean = -1.0 / nn;
            const double sd = std::sqrt((nn - static_cast<double>(k)) / (nn * (nn + 2)));
            const double z = (rho - mean) / sd;
            prob = std::isfinite(z) ? boost::math::cdf(boost::math::complement(normal, z)) : (z > 0 ? 0.0 : 1.0);
        }
        out.lagProb[k - 1] = prob;
        num += prob / static_cast<double>(k);
        den += 1.0 / static_cast<double>(k);
    }
    out.punc = den > 0 ? num / den : 1.0;
    return out;
}

}  // namespace fluvena::engine
